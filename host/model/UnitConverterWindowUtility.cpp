#include "host/model/UnitConverterWindowUtility.h"

#include <charconv>
#include <locale.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <limits>
#include <vector>

#include "platform/locale/Locale.h"
#include "platform/win/WinApi.h"

namespace OrvDbRecord {

namespace {

bool SameClass(const std::wstring& a, const CString& b) {
    return CString(a).CompareNoCase(b) == 0;
}

std::vector<HWND> DirectChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool StartsWith(const std::wstring& text, const std::wstring& token) {
    return !token.empty() && text.compare(0, token.size(), token) == 0;
}

// A number in the C library's "C" syntax, whatever C locale a front end has chosen for the
// process (a GUI toolkit may set the user's).
double ReadC(const char* text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, c);
}

}  // namespace

void UnitConverterWindowUtility::SetUnitConverter(const DisplayUnitSystem& display) {
    converter_ = UnitConverter(display.GetModelUnitSystem(), display.GetUnitSystem(), UnitSys::UnitSystem::Dimensionless);
}

UnitConverterWindowUtility::NumberSymbols UnitConverterWindowUtility::UserNumberSymbols() {
    auto first = [](LCTYPE type, wchar_t fallback) {
        wchar_t buffer[16] = {};
        return GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer, 16) >= 2 ? buffer[0] : fallback;
    };
    NumberSymbols symbols;
    symbols.decimal = first(LOCALE_SDECIMAL, L'.');
    symbols.thousands = first(LOCALE_STHOUSAND, L',');
    symbols.negative = first(LOCALE_SNEGATIVESIGN, L'-');
    symbols.positive = first(LOCALE_SPOSITIVESIGN, L'+');
    return symbols;
}

std::wstring UnitConverterWindowUtility::FormatNumber(double value) { return FormatNumber(value, NumberSymbols{}); }

std::wstring UnitConverterWindowUtility::FormatNumber(double value, const NumberSymbols& symbols) {
    if (std::isnan(value))
        return L"nan";
    if (std::isinf(value))
        return value > 0 ? L"inf" : L"-inf";
    // 15 significant digits: what a conversion between unit systems adds beyond them is noise
    // (35 degrees Celsius reads 95, not 94.99999999999994, in Fahrenheit). Saving a field whose
    // text was not touched keeps the model value as it was (Exchange), so nothing is lost.
    char buf[40];
    const std::to_chars_result written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::wstring text(buf, written.ptr);
    for (wchar_t& c : text)
        if (c == L'.')
            c = symbols.decimal;
    return text;
}

bool UnitConverterWindowUtility::ParseNumber(std::wstring_view text, double& value) {
    return ParseNumber(text, value, NumberSymbols{});
}

bool UnitConverterWindowUtility::ParseNumber(std::wstring_view text, double& value, const NumberSymbols& symbols) {
    std::size_t i = 0, n = text.size();
    auto blank = [&](std::size_t k) { return k < n && std::iswspace(wint_t(text[k])); };
    auto digit = [&](std::size_t k) { return k < n && text[k] >= L'0' && text[k] <= L'9'; };
    auto separator = [&](std::size_t k) {
        return k < n && (text[k] == symbols.decimal || (text[k] == L'.' && symbols.thousands != L'.'));
    };
    auto minus = [&](std::size_t k) { return k < n && (text[k] == L'-' || text[k] == symbols.negative); };
    auto plus = [&](std::size_t k) { return k < n && (text[k] == L'+' || text[k] == symbols.positive); };
    while (blank(i))
        ++i;
    std::string narrow;
    if (minus(i)) {
        narrow += '-';
        ++i;
    } else if (plus(i)) {
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (digit(i)) {
        narrow += char(text[i++]);
        ++mantissaDigits;
    }
    if (separator(i)) {
        narrow += '.';
        ++i;
        while (digit(i)) {
            narrow += char(text[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (text[i] == L'e' || text[i] == L'E')) {
        narrow += 'e';
        ++i;
        if (minus(i)) {
            narrow += '-';
            ++i;
        } else if (plus(i)) {
            ++i;
        }
        if (!digit(i))
            return false;
        while (digit(i))
            narrow += char(text[i++]);
    }
    while (blank(i))
        ++i;
    if (i != n)
        return false;
    double parsed = ReadC(narrow.c_str());
    if (std::isinf(parsed))
        return false;
    value = parsed;
    return true;
}

bool UnitConverterWindowUtility::MakeConverter(const UnitKind* kind, UnitConverter& out) const {
    out = converter_;
    if (kind) {
        bool ok = kind->isConversion ? out.SetConversionString(kind->conversion, kind->syntax) : out.SetDisplayableUnit(kind->unit);
        if (!ok)
            return false;
    }
    return out.IsValid();
}

const UnitConverterWindowUtility::UnitKind* UnitConverterWindowUtility::FindEditKind(unsigned int id) const {
    auto it = labelMap_.find(id);
    return it == labelMap_.end() ? nullptr : &it->second;
}

bool UnitConverterWindowUtility::FormatValue(unsigned int id, double value, std::wstring& text,
                                             int displayableUnit) const {
    UnitKind unitKind;
    unitKind.unit = displayableUnit;
    UnitConverter converter;
    if (!MakeConverter(displayableUnit >= 0 ? &unitKind : FindEditKind(id), converter))
        return false;
    const double shown = converter.Convert(value);
    if (std::isnan(shown) && !std::isnan(value))
        return false;
    text = FormatNumber(shown, UserNumberSymbols());
    return true;
}

bool UnitConverterWindowUtility::Exchange(HWND dialog, unsigned int id, bool saving, double& value, const UnitKind* kind) const {
    HWND edit = dialog ? GetDlgItem(dialog, int(id)) : nullptr;
    if (!edit)
        return false;
    UnitConverter converter;
    if (!MakeConverter(kind, converter))
        return false;
    if (!saving) {
        double shown = converter.Convert(value);
        if (std::isnan(shown) && !std::isnan(value))
            return false;
        const std::wstring text = FormatNumber(shown, UserNumberSymbols());
        SetWindowText(edit, text.c_str());
        loaded_[edit] = Loaded{text, value};
        return true;
    }
    const std::wstring text = GetWindowTextString(edit);
    if (auto it = loaded_.find(edit); it != loaded_.end() && it->second.text == text &&
        FormatNumber(converter.Convert(it->second.model), UserNumberSymbols()) == text) {
        // Still the text the load wrote, in the same unit: the model value it came from, bit for
        // bit (model to display to model is not exact in binary).
        value = it->second.model;
        return true;
    }
    double shown = 0;
    if (!ParseNumber(text, shown, UserNumberSymbols()))
        return false;
    double model = converter.ReverseConvert(shown);
    if (std::isnan(model))
        return false;
    value = model;
    return true;
}

bool UnitConverterWindowUtility::PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, double& value) const {
    return Exchange(dialog, id, saving, value, FindEditKind(id));
}

bool UnitConverterWindowUtility::PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, float& value) const {
    double wide = value;
    if (!Exchange(dialog, id, saving, wide, FindEditKind(id)))
        return false;
    value = float(wide);
    return true;
}

bool UnitConverterWindowUtility::PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, double& value, int displayableUnit) const {
    UnitKind kind;
    kind.unit = displayableUnit;
    return Exchange(dialog, id, saving, value, &kind);
}

bool UnitConverterWindowUtility::PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, float& value, int displayableUnit) const {
    double wide = value;
    if (!PseudoDDX_Text(dialog, id, saving, wide, displayableUnit))
        return false;
    value = float(wide);
    return true;
}

bool UnitConverterWindowUtility::PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, double& value, const CString& conversion,
                                                OrvUnitsConversionStringSyntax syntax) const {
    UnitKind kind;
    kind.isConversion = true;
    kind.conversion = conversion.str();
    kind.syntax = syntax;
    return Exchange(dialog, id, saving, value, &kind);
}

bool UnitConverterWindowUtility::PseudoDDX_Text(HWND dialog, unsigned int id, bool saving, float& value, const CString& conversion,
                                                OrvUnitsConversionStringSyntax syntax) const {
    double wide = value;
    if (!PseudoDDX_Text(dialog, id, saving, wide, conversion, syntax))
        return false;
    value = float(wide);
    return true;
}

bool UnitConverterWindowUtility::InRange(bool saving, double value, double min, double max, const UnitKind* kind) const {
    if (!saving)
        return true;
    UnitConverter converter;
    if (!MakeConverter(kind, converter))
        return false;
    double shown = converter.Convert(value);
    return shown >= min && shown <= max;  // false for NaN
}

bool UnitConverterWindowUtility::PseudoDDV_MinMaxDouble(HWND, unsigned int id, bool saving, double value, double min, double max) const {
    return InRange(saving, value, min, max, FindEditKind(id));
}

bool UnitConverterWindowUtility::PseudoDDV_MinMaxFloat(HWND, unsigned int id, bool saving, float value, float min, float max) const {
    return InRange(saving, value, min, max, FindEditKind(id));
}

bool UnitConverterWindowUtility::PseudoDDV_MinMaxDouble(bool saving, double value, double min, double max, int displayableUnit) const {
    UnitKind kind;
    kind.unit = displayableUnit;
    return InRange(saving, value, min, max, &kind);
}

bool UnitConverterWindowUtility::PseudoDDV_MinMaxFloat(bool saving, float value, float min, float max, int displayableUnit) const {
    return PseudoDDV_MinMaxDouble(saving, value, min, max, displayableUnit);
}

bool UnitConverterWindowUtility::PseudoDDV_MinMaxDouble(bool saving, double value, double min, double max, const CString& conversion,
                                                        OrvUnitsConversionStringSyntax syntax) const {
    UnitKind kind;
    kind.isConversion = true;
    kind.conversion = conversion.str();
    kind.syntax = syntax;
    return InRange(saving, value, min, max, &kind);
}

bool UnitConverterWindowUtility::PseudoDDV_MinMaxFloat(bool saving, float value, float min, float max, const CString& conversion,
                                                       OrvUnitsConversionStringSyntax syntax) const {
    return PseudoDDV_MinMaxDouble(saving, value, min, max, conversion, syntax);
}

bool UnitConverterWindowUtility::ParseLabel(const std::wstring& text, const std::wstring& token, OrvUnitsConversionStringSyntax syntax,
                                            UnitKind& kind) {
    if (!StartsWith(text, token))
        return false;
    std::wstring rest = text.substr(token.size());
    kind = UnitKind{};
    bool number = !rest.empty();
    for (wchar_t c : rest)
        number = number && c >= L'0' && c <= L'9';
    if (number && rest.size() < 10) {
        kind.unit = std::stoi(rest);
    } else {
        kind.isConversion = true;
        kind.conversion = rest;
        kind.syntax = syntax;
    }
    return true;
}

void UnitConverterWindowUtility::BuildUnitsLabelMap(HWND dialog, const CString& editClass, OrvUnitsConversionStringSyntax syntax,
                                                    const CString& labelClass, const CString& token) {
    labelMap_.clear();
    if (!dialog)
        return;
    struct Label {
        RECT rect;
        UnitKind kind;
    };
    std::vector<Label> labels;
    std::vector<HWND> edits;
    for (HWND child : DirectChildren(dialog)) {
        std::wstring cls = GetClassNameString(child);
        if (SameClass(cls, labelClass)) {
            Label label;
            if (ParseLabel(GetWindowTextString(child), token.str(), syntax, label.kind)) {
                GetWindowRect(child, &label.rect);
                labels.push_back(label);
            }
        } else if (SameClass(cls, editClass)) {
            edits.push_back(child);
        }
    }
    // Labels may overlap the edit they follow by a little: templates are laid out by hand.
    constexpr LONG kOverlap = 2;
    for (HWND edit : edits) {
        RECT e{};
        GetWindowRect(edit, &e);
        const Label* best = nullptr;
        LONG bestGap = 0;
        for (const Label& label : labels) {
            LONG centre = (label.rect.top + label.rect.bottom) / 2;
            if (centre < e.top || centre > e.bottom || label.rect.left < e.right - kOverlap)
                continue;
            LONG gap = label.rect.left - e.right;
            if (!best || gap < bestGap) {
                best = &label;
                bestGap = gap;
            }
        }
        if (best)
            labelMap_[unsigned(GetDlgCtrlID(edit))] = best->kind;
    }
}

std::wstring UnitConverterWindowUtility::UnitName(const UnitConverter& base, const UnitKind& kind) {
    UnitConverter converter = base;
    bool ok = kind.isConversion ? converter.SetConversionString(kind.conversion, kind.syntax) : converter.SetDisplayableUnit(kind.unit);
    return ok ? converter.GetToUnitText() : std::wstring(L"???");
}

void UnitConverterWindowUtility::AutoSetupUnitLabels(HWND dialog, const CString& labelClass, OrvUnitsConversionStringSyntax syntax,
                                                     const CString& token) const {
    if (!dialog)
        return;
    for (HWND child : DirectChildren(dialog)) {
        if (!SameClass(GetClassNameString(child), labelClass))
            continue;
        UnitKind kind;
        if (ParseLabel(GetWindowTextString(child), token.str(), syntax, kind))
            SetWindowText(child, UnitName(converter_, kind).c_str());
    }
}

void UnitConverterWindowUtility::AutoSetupUnitLabels(const UnitSys::UnitSystem& system, HWND dialog, const CString& labelClass,
                                                     OrvUnitsConversionStringSyntax syntax, const CString& token) {
    UnitConverterWindowUtility utility;
    utility.converter_.SetUnitSystems(system, system);
    utility.AutoSetupUnitLabels(dialog, labelClass, syntax, token);
}

bool UnitConverterWindowUtility::GetEditUnit(unsigned int id, int& displayableUnit, std::wstring& conversion) const {
    const UnitKind* kind = FindEditKind(id);
    if (!kind)
        return false;
    displayableUnit = kind->isConversion ? -1 : kind->unit;
    conversion = kind->isConversion ? kind->conversion : std::wstring();
    return true;
}

}  // namespace OrvDbRecord
