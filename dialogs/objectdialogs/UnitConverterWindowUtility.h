#pragma once
// UnitConverterWindowUtility: data exchange and checks for dialog fields in the shape of the
// framework's DDX_Text and DDV_MinMax functions, with numbers converted between model units
// and the display units of the utility's converter. Conversion, parsing and range tests are
// the model library's (OrvDbRecord::UnitConverterWindowUtility); this class turns a refusal
// into the framework's prompt (61713 for text that is not a number, 61715 for a value out of
// range) and a failed exchange, which puts the focus back on the edit.
//
// Unit labels: a static whose template text starts with "%U%" names the unit of the edit to
// its left, as a displayable unit code ("%U%35") or a conversion string in base units
// ("%U%N/m"). Call order at initialisation: SetUnitConverter, BuildUnitsLabelMap,
// AutoSetupUnitLabels, then the first exchange.

#include "dialogs/factory/Export.h"
#include "host/model/UnitConverterWindowUtility.h"
#include "platform/win/DataExchange.h"

namespace DataModelDialogs {

// The framework's prompts the exchange shows.
inline constexpr UINT kPromptParseReal = 61713;       // AFX_IDP_PARSE_REAL
inline constexpr UINT kPromptParseRealRange = 61715;  // AFX_IDP_PARSE_REAL_RANGE

class DATAMODELDIALOGS_API UnitConverterWindowUtility : public OrvDbRecord::UnitConverterWindowUtility {
public:
    using DisplayableUnit = UnitSys::UnitSystem::DisplayableUnit;

    UnitConverterWindowUtility();
    ~UnitConverterWindowUtility() override;
    UnitConverterWindowUtility(const UnitConverterWindowUtility& other);
    UnitConverterWindowUtility& operator=(const UnitConverterWindowUtility& other);

    // Plain exchange without units: exactly the framework's DDX_Text of the same type. Declared
    // here so that every DDX_Text call inside a derived dialog resolves to a member.
    void DDX_Text(CDataExchange* dx, int id, BYTE& value) const;
    void DDX_Text(CDataExchange* dx, int id, short& value) const;
    void DDX_Text(CDataExchange* dx, int id, int& value) const;
    void DDX_Text(CDataExchange* dx, int id, UINT& value) const;
    void DDX_Text(CDataExchange* dx, int id, long& value) const;
    void DDX_Text(CDataExchange* dx, int id, unsigned long& value) const;
    void DDX_Text(CDataExchange* dx, int id, long long& value) const;
    void DDX_Text(CDataExchange* dx, int id, unsigned long long& value) const;
    void DDX_Text(CDataExchange* dx, int id, CString& value) const;
    void DDX_Text(CDataExchange* dx, int id, COleCurrency& value) const;
    void DDX_Text(CDataExchange* dx, int id, COleDateTime& value) const;
    void DDX_Text(CDataExchange* dx, int id, GUID& value) const;
    void DDX_Text(CDataExchange* dx, int id, DECIMAL& value) const;
    void DDX_Text(CDataExchange* dx, int id, FILETIME& value) const;
    void DDX_Text(CDataExchange* dx, int id, wchar_t* buffer, int maxLength) const;

    // Real numbers in the unit of the edit's label (form 2), in a displayable unit (form 3) or
    // in the unit of a conversion string (form 4). Text that is not a number: prompt 61713
    // (OK only, no help context) and a failed exchange.
    void DDX_Text(CDataExchange* dx, unsigned int id, double& value) const;
    void DDX_Text(CDataExchange* dx, unsigned int id, float& value) const;
    void DDX_Text(CDataExchange* dx, unsigned int id, double& value, DisplayableUnit unit) const;
    void DDX_Text(CDataExchange* dx, unsigned int id, float& value, DisplayableUnit unit) const;
    void DDX_Text(CDataExchange* dx, unsigned int id, double& value, const CString& conversion,
                  OrvUnitsConversionStringSyntax syntax) const;
    void DDX_Text(CDataExchange* dx, unsigned int id, float& value, const CString& conversion,
                  OrvUnitsConversionStringSyntax syntax) const;

    // Range checks when saving, bounds in display units. A value outside [min, max]: prompt
    // 61715 with the bounds as "%.*g" (15 digits for doubles, 6 for floats), exclamation icon,
    // help context 61715, and a failed exchange. The control forms (5) prepare the edit; the
    // unit forms (6, 7) belong right after the exchange of the same edit and reuse its
    // preparation.
    void DDV_MinMaxDouble(CDataExchange* dx, unsigned int id, double value, double min, double max) const;
    void DDV_MinMaxFloat(CDataExchange* dx, unsigned int id, float value, float min, float max) const;
    void DDV_MinMaxDouble(CDataExchange* dx, double value, double min, double max, DisplayableUnit unit) const;
    void DDV_MinMaxFloat(CDataExchange* dx, float value, float min, float max, DisplayableUnit unit) const;
    void DDV_MinMaxDouble(CDataExchange* dx, double value, double min, double max, const CString& conversion,
                          OrvUnitsConversionStringSyntax syntax) const;
    void DDV_MinMaxFloat(CDataExchange* dx, float value, float min, float max, const CString& conversion,
                         OrvUnitsConversionStringSyntax syntax) const;

    // Pairs the dialog's edits with their "%U%" labels (replacing the previous map).
    void BuildUnitsLabelMap(CWnd& dialog, const CString& editClass, OrvUnitsConversionStringSyntax syntax,
                            const CString& labelClass, const CString& token);
    // Replaces the text of every label starting with the token by its unit's display name, in
    // the utility's display unit system or in the given one.
    void AutoSetupUnitLabels(CWnd& dialog, const CString& labelClass, OrvUnitsConversionStringSyntax syntax,
                             const CString& token) const;
    static void AutoSetupUnitLabels(const OrvDbRecord::UnitSystem& system, CWnd& dialog, const CString& labelClass,
                                    OrvUnitsConversionStringSyntax syntax, const CString& token);

    // The prompts, for callers that run the library's checks themselves.
    static void FailParse(CDataExchange* dx);
    static void FailRange(CDataExchange* dx, double min, double max, int precision);
};

}  // namespace DataModelDialogs
