#pragma once
// UnitConverterWindowUtility: unit-aware exchange of numbers between dialog edits and model
// values. Values live in the model unit system; edits show them in the display unit system of
// the utility's converter, in the unit named by the edit's "%U%" label (docs/model-format.md
// gives the pairing rule and the number syntax).

#include <map>
#include <string>

#include "host/model/UnitSystem.h"
#include "platform/win/CString.h"
#include "platform/win/WinTypes.h"

namespace OrvDbRecord {

class UnitConverterWindowUtility {
public:
    UnitConverterWindowUtility() = default;
    virtual ~UnitConverterWindowUtility() = default;
    UnitConverterWindowUtility(const UnitConverterWindowUtility&) = default;
    UnitConverterWindowUtility& operator=(const UnitConverterWindowUtility&) = default;

    // Converts from the display system's model units into its display units from now on; the
    // converter's kind starts dimensionless.
    void SetUnitConverter(const DisplayUnitSystem& display);
    void SetUnitConverter(const UnitConverter& converter) { converter_ = converter; }
    const UnitConverter& GetUnitConverter() const { return converter_; }
    UnitConverter& GetUnitConverter() { return converter_; }
    // The display unit system.
    const UnitSys::UnitSystem& GetToUnitSystem() const { return converter_.GetToUnitSystem(); }

    // Loading (saving false) shows the model value in display units in the edit; saving parses
    // the edit's text and stores the model value, except that text still as the last load of
    // that edit wrote it (in the same unit) gives back the loaded model value bit for bit. Both
    // use the user locale's number symbols, so what a decimal-comma locale shows ("0,5") reads
    // back. False when the control does not exist, the text is not a number or the unit cannot
    // convert; the value is then unchanged.
    // Without a unit argument the edit's label gives the unit (an edit without one uses the
    // converter's current kind).
    bool PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, double& value) const;
    bool PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, float& value) const;
    bool PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, double& value, int displayableUnit) const;
    bool PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, float& value, int displayableUnit) const;
    bool PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, double& value, const CString& conversion,
                        OrvUnitsConversionStringSyntax syntax) const;
    bool PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, float& value, const CString& conversion,
                        OrvUnitsConversionStringSyntax syntax) const;

    // True when not saving, or when the model value, in display units of the edit's unit (or
    // of the given unit), lies within [min, max] (bounds in display units).
    bool PseudoDDV_MinMaxDouble(HWND dialog, unsigned int id, bool saving, double value, double min, double max) const;
    bool PseudoDDV_MinMaxFloat(HWND dialog, unsigned int id, bool saving, float value, float min, float max) const;
    bool PseudoDDV_MinMaxDouble(bool saving, double value, double min, double max, int displayableUnit) const;
    bool PseudoDDV_MinMaxFloat(bool saving, float value, float min, float max, int displayableUnit) const;
    bool PseudoDDV_MinMaxDouble(bool saving, double value, double min, double max, const CString& conversion,
                                OrvUnitsConversionStringSyntax syntax) const;
    bool PseudoDDV_MinMaxFloat(bool saving, float value, float min, float max, const CString& conversion,
                               OrvUnitsConversionStringSyntax syntax) const;

    // Pairs every child of the dialog of class editClass with the nearest label of class
    // labelClass to its right on the same row whose text starts with token, and records the
    // label's unit. Replaces the previous map.
    void BuildUnitsLabelMap(HWND dialog, const CString& editClass, OrvUnitsConversionStringSyntax syntax,
                            const CString& labelClass, const CString& token);
    // Replaces the text of every label child starting with token by its unit's display name.
    void AutoSetupUnitLabels(HWND dialog, const CString& labelClass, OrvUnitsConversionStringSyntax syntax,
                             const CString& token) const;
    static void AutoSetupUnitLabels(const UnitSys::UnitSystem& system, HWND dialog, const CString& labelClass,
                                    OrvUnitsConversionStringSyntax syntax, const CString& token);

    // The model value as edit `id` would show it (in `displayableUnit`, or the unit its label
    // gave it when that is negative); false when it cannot be converted.
    bool FormatValue(unsigned int id, double value, std::wstring& text, int displayableUnit = -1) const;

    // The unit an edit's label gave it; false when the edit has none.
    bool GetEditUnit(unsigned int id, int& displayableUnit, std::wstring& conversion) const;

    // The characters of a number as a locale writes it.
    struct NumberSymbols {
        wchar_t decimal = L'.';
        wchar_t thousands = L',';
        wchar_t negative = L'-';
        wchar_t positive = L'+';
    };
    // The user locale's symbols (GetLocaleInfo, first character of each; "." "," "-" "+" for
    // texts the locale leaves empty). Read at each call, as the edits read the locale.
    static NumberSymbols UserNumberSymbols();

    // The number syntax of the edits, with "." as the decimal separator.
    static std::wstring FormatNumber(double value);
    static bool ParseNumber(std::wstring_view text, double& value);
    // The same with the locale's symbols: shown with its decimal separator; read with its
    // decimal separator, and also with "." unless "." is its thousands separator (a German
    // "1.000" is refused rather than guessed). Digit grouping is never accepted. Besides "-"
    // and "+", the locale's own signs are signs.
    static std::wstring FormatNumber(double value, const NumberSymbols& symbols);
    static bool ParseNumber(std::wstring_view text, double& value, const NumberSymbols& symbols);

private:
    struct UnitKind {
        bool isConversion = false;
        int unit = 0;
        std::wstring conversion;
        OrvUnitsConversionStringSyntax syntax = OrvUnitsConversionStringSyntaxBaseUnits;
    };
    // The converter with the kind set; false when the kind cannot convert.
    bool MakeConverter(const UnitKind* kind, UnitConverter& out) const;
    bool Exchange(HWND dialog, unsigned int id, bool saving, double& value, const UnitKind* kind) const;
    bool InRange(bool saving, double value, double min, double max, const UnitKind* kind) const;
    const UnitKind* FindEditKind(unsigned int id) const;
    static bool ParseLabel(const std::wstring& text, const std::wstring& token, OrvUnitsConversionStringSyntax syntax,
                           UnitKind& kind);
    static std::wstring UnitName(const UnitConverter& base, const UnitKind& kind);

    // What the last load of each edit wrote and the model value it showed: saving text that is
    // still the same gives that value back unchanged.
    struct Loaded {
        std::wstring text;
        double model = 0;
    };

    UnitConverter converter_;
    std::map<unsigned int, UnitKind> labelMap_;
    mutable std::map<HWND, Loaded> loaded_;
};

}  // namespace OrvDbRecord
