#include "dialogs/objectdialogs/UnitConverterWindowUtility.h"

#include "platform/win/MessageBox.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {

UnitConverterWindowUtility::UnitConverterWindowUtility() = default;
UnitConverterWindowUtility::~UnitConverterWindowUtility() = default;
UnitConverterWindowUtility::UnitConverterWindowUtility(const UnitConverterWindowUtility& other) = default;
UnitConverterWindowUtility& UnitConverterWindowUtility::operator=(const UnitConverterWindowUtility& other) = default;

// ---- form 1: the framework's exchange, unchanged ----

void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, BYTE& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, short& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, int& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, UINT& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, long& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, unsigned long& value) const {
    ::DDX_Text(dx, id, value);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, long long& value) const {
    ::DDX_Text(dx, id, value);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, unsigned long long& value) const {
    ::DDX_Text(dx, id, value);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, CString& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, COleCurrency& value) const {
    ::DDX_Text(dx, id, value);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, COleDateTime& value) const {
    ::DDX_Text(dx, id, value);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, GUID& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, DECIMAL& value) const { ::DDX_Text(dx, id, value); }
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, FILETIME& value) const {
    ::DDX_Text(dx, id, value);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, int id, wchar_t* buffer, int maxLength) const {
    ::DDX_Text(dx, id, buffer, maxLength);
}

// ---- failure paths ----

void UnitConverterWindowUtility::FailParse(CDataExchange* dx) {
    AfxMessageBox(kPromptParseReal, MB_OK, 0);
    dx->Fail();
}

void UnitConverterWindowUtility::FailRange(CDataExchange* dx, double min, double max, int precision) {
    const std::wstring low = orv::FormatPrintf(L"%.*g", precision, min);
    const std::wstring high = orv::FormatPrintf(L"%.*g", precision, max);
    CString prompt;
    AfxFormatString2(prompt, kPromptParseRealRange, low.c_str(), high.c_str());
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, kPromptParseRealRange);
    dx->Fail();
}

namespace {
HWND DialogOf(const CDataExchange* dx) { return dx->m_pDlgWnd ? dx->m_pDlgWnd->GetSafeHwnd() : nullptr; }
bool Saving(const CDataExchange* dx) { return dx->m_bSaveAndValidate != FALSE; }
constexpr int kDoubleDigits = 15;
constexpr int kFloatDigits = 6;
}  // namespace

// ---- forms 2 to 4 ----

void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, unsigned int id, double& value) const {
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDX_Text(DialogOf(dx), id, Saving(dx), value)) FailParse(dx);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, unsigned int id, float& value) const {
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDX_Text(DialogOf(dx), id, Saving(dx), value)) FailParse(dx);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, unsigned int id, double& value, DisplayableUnit unit) const {
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDX_Text(DialogOf(dx), id, Saving(dx), value, int(unit))) FailParse(dx);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, unsigned int id, float& value, DisplayableUnit unit) const {
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDX_Text(DialogOf(dx), id, Saving(dx), value, int(unit))) FailParse(dx);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, unsigned int id, double& value, const CString& conversion,
                                          OrvUnitsConversionStringSyntax syntax) const {
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDX_Text(DialogOf(dx), id, Saving(dx), value, CString(conversion), syntax)) FailParse(dx);
}
void UnitConverterWindowUtility::DDX_Text(CDataExchange* dx, unsigned int id, float& value, const CString& conversion,
                                          OrvUnitsConversionStringSyntax syntax) const {
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDX_Text(DialogOf(dx), id, Saving(dx), value, CString(conversion), syntax)) FailParse(dx);
}

// ---- forms 5 to 7 ----

void UnitConverterWindowUtility::DDV_MinMaxDouble(CDataExchange* dx, unsigned int id, double value, double min,
                                                  double max) const {
    if (!Saving(dx)) return;
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDV_MinMaxDouble(DialogOf(dx), id, true, value, min, max)) FailRange(dx, min, max, kDoubleDigits);
}
void UnitConverterWindowUtility::DDV_MinMaxFloat(CDataExchange* dx, unsigned int id, float value, float min,
                                                 float max) const {
    if (!Saving(dx)) return;
    dx->PrepareEditCtrl(int(id));
    if (!PseudoDDV_MinMaxFloat(DialogOf(dx), id, true, value, min, max))
        FailRange(dx, double(min), double(max), kFloatDigits);
}
void UnitConverterWindowUtility::DDV_MinMaxDouble(CDataExchange* dx, double value, double min, double max,
                                                  DisplayableUnit unit) const {
    if (!PseudoDDV_MinMaxDouble(Saving(dx), value, min, max, int(unit))) FailRange(dx, min, max, kDoubleDigits);
}
void UnitConverterWindowUtility::DDV_MinMaxFloat(CDataExchange* dx, float value, float min, float max,
                                                 DisplayableUnit unit) const {
    if (!PseudoDDV_MinMaxFloat(Saving(dx), value, min, max, int(unit)))
        FailRange(dx, double(min), double(max), kFloatDigits);
}
void UnitConverterWindowUtility::DDV_MinMaxDouble(CDataExchange* dx, double value, double min, double max,
                                                  const CString& conversion,
                                                  OrvUnitsConversionStringSyntax syntax) const {
    if (!PseudoDDV_MinMaxDouble(Saving(dx), value, min, max, CString(conversion), syntax))
        FailRange(dx, min, max, kDoubleDigits);
}
void UnitConverterWindowUtility::DDV_MinMaxFloat(CDataExchange* dx, float value, float min, float max,
                                                 const CString& conversion,
                                                 OrvUnitsConversionStringSyntax syntax) const {
    if (!PseudoDDV_MinMaxFloat(Saving(dx), value, min, max, CString(conversion), syntax))
        FailRange(dx, double(min), double(max), kFloatDigits);
}

// ---- labels ----

void UnitConverterWindowUtility::BuildUnitsLabelMap(CWnd& dialog, const CString& editClass,
                                                    OrvUnitsConversionStringSyntax syntax, const CString& labelClass,
                                                    const CString& token) {
    OrvDbRecord::UnitConverterWindowUtility::BuildUnitsLabelMap(dialog.GetSafeHwnd(), CString(editClass), syntax,
                                                                CString(labelClass), CString(token));
}

void UnitConverterWindowUtility::AutoSetupUnitLabels(CWnd& dialog, const CString& labelClass,
                                                     OrvUnitsConversionStringSyntax syntax,
                                                     const CString& token) const {
    OrvDbRecord::UnitConverterWindowUtility::AutoSetupUnitLabels(dialog.GetSafeHwnd(), CString(labelClass), syntax,
                                                                 CString(token));
}

void UnitConverterWindowUtility::AutoSetupUnitLabels(const OrvDbRecord::UnitSystem& system, CWnd& dialog,
                                                     const CString& labelClass, OrvUnitsConversionStringSyntax syntax,
                                                     const CString& token) {
    OrvDbRecord::UnitConverterWindowUtility::AutoSetupUnitLabels(system, dialog.GetSafeHwnd(), CString(labelClass),
                                                                 syntax, CString(token));
}

}  // namespace DataModelDialogs
