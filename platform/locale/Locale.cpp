#include "platform/locale/Locale.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

struct LocaleEntry {
    LANGID lang;
    const wchar_t* name;         // LOCALE_SNAME
    const wchar_t* abbrev;       // LOCALE_SABBREVLANGNAME
    const wchar_t* language;     // LOCALE_SENGLANGUAGE
    const wchar_t* country;      // LOCALE_SENGCOUNTRY
    const wchar_t* native;       // LOCALE_SNATIVELANGNAME
    const wchar_t* decimal;      // LOCALE_SDECIMAL
    const wchar_t* thousand;     // LOCALE_STHOUSAND
    const wchar_t* negative;     // LOCALE_SNEGATIVESIGN
    const wchar_t* positive;     // LOCALE_SPOSITIVESIGN (empty in most locales, as the framework gives it)
    const wchar_t* list;         // LOCALE_SLIST
    const wchar_t* iso639;       // LOCALE_SISO639LANGNAME
    const wchar_t* iso3166;      // LOCALE_SISO3166CTRYNAME
};

// The specific locales. The first entry of a language with a given territory is the one a
// POSIX name with that territory selects.
const LocaleEntry kLocales[] = {
    {0x0409, L"en-US", L"ENU", L"English", L"United States", L"English", L".", L",", L"-", L"", L",", L"en", L"US"},
    {0x0809, L"en-GB", L"ENG", L"English", L"United Kingdom", L"English", L".", L",", L"-", L"", L",", L"en", L"GB"},
    {0x0C09, L"en-AU", L"ENA", L"English", L"Australia", L"English", L".", L",", L"-", L"", L",", L"en", L"AU"},
    {0x1009, L"en-CA", L"ENC", L"English", L"Canada", L"English", L".", L",", L"-", L"", L",", L"en", L"CA"},
    {0x0407, L"de-DE", L"DEU", L"German", L"Germany", L"Deutsch", L",", L".", L"-", L"", L";", L"de", L"DE"},
    {0x0C07, L"de-AT", L"DEA", L"German", L"Austria", L"Deutsch", L",", L".", L"-", L"", L";", L"de", L"AT"},
    {0x0807, L"de-CH", L"DES", L"German", L"Switzerland", L"Deutsch", L".", L"'", L"-", L"", L";", L"de", L"CH"},
    {0x040C, L"fr-FR", L"FRA", L"French", L"France", L"fran\u00E7ais", L",", L"\u00A0", L"-", L"", L";", L"fr", L"FR"},
    {0x080C, L"fr-BE", L"FRB", L"French", L"Belgium", L"fran\u00E7ais", L",", L".", L"-", L"", L";", L"fr", L"BE"},
    {0x0C0C, L"fr-CA", L"FRC", L"French", L"Canada", L"fran\u00E7ais", L",", L"\u00A0", L"-", L"", L";", L"fr", L"CA"},
    {0x100C, L"fr-CH", L"FRS", L"French", L"Switzerland", L"fran\u00E7ais", L".", L"'", L"-", L"", L";", L"fr", L"CH"},
    {0x0410, L"it-IT", L"ITA", L"Italian", L"Italy", L"italiano", L",", L".", L"-", L"", L";", L"it", L"IT"},
    {0x0810, L"it-CH", L"ITS", L"Italian", L"Switzerland", L"italiano", L".", L"'", L"-", L"", L";", L"it", L"CH"},
    {0x040A, L"es-ES_tradnl", L"ESP", L"Spanish", L"Spain", L"espa\u00F1ol", L",", L".", L"-", L"", L";", L"es", L"ES"},
    {0x0C0A, L"es-ES", L"ESN", L"Spanish", L"Spain", L"espa\u00F1ol", L",", L".", L"-", L"", L";", L"es", L"ES"},
    {0x080A, L"es-MX", L"ESM", L"Spanish", L"Mexico", L"espa\u00F1ol", L".", L",", L"-", L"", L",", L"es", L"MX"},
    {0x0411, L"ja-JP", L"JPN", L"Japanese", L"Japan", L"\u65E5\u672C\u8A9E", L".", L",", L"-", L"", L",", L"ja", L"JP"},
    {0x0804, L"zh-CN", L"CHS", L"Chinese", L"China", L"\u4E2D\u6587", L".", L",", L"-", L"", L",", L"zh", L"CN"},
    {0x0404, L"zh-TW", L"CHT", L"Chinese", L"Taiwan", L"\u4E2D\u6587", L".", L",", L"-", L"", L",", L"zh", L"TW"},
    {0x0419, L"ru-RU", L"RUS", L"Russian", L"Russia", L"\u0440\u0443\u0441\u0441\u043A\u0438\u0439", L",", L"\u00A0", L"-", L"", L";", L"ru", L"RU"},
    {0x0416, L"pt-BR", L"PTB", L"Portuguese", L"Brazil", L"portugu\u00EAs", L",", L".", L"-", L"", L";", L"pt", L"BR"},
    {0x0816, L"pt-PT", L"PTG", L"Portuguese", L"Portugal", L"portugu\u00EAs", L",", L"\u00A0", L"-", L"", L";", L"pt", L"PT"},
    {0x0413, L"nl-NL", L"NLD", L"Dutch", L"Netherlands", L"Nederlands", L",", L".", L"-", L"", L";", L"nl", L"NL"},
    {0x0412, L"ko-KR", L"KOR", L"Korean", L"Korea", L"\uD55C\uAD6D\uC5B4", L".", L",", L"-", L"", L",", L"ko", L"KR"},
    {0x007F, L"", L"IVL", L"Invariant Language", L"Invariant Country", L"Invariant Language", L".", L",", L"-", L"+", L",", L"iv", L"IV"},
};

// A neutral locale answers with its language's default locale, under its own name.
struct NeutralEntry {
    LANGID lang;
    const wchar_t* name;
    LANGID defaultLocale;
};

const NeutralEntry kNeutrals[] = {
    {0x0009, L"en", 0x0409}, {0x0007, L"de", 0x0407}, {0x000C, L"fr", 0x040C}, {0x0010, L"it", 0x0410},
    {0x000A, L"es", 0x040A}, {0x0011, L"ja", 0x0411}, {0x0004, L"zh-Hans", 0x0804}, {0x0019, L"ru", 0x0419},
    {0x0016, L"pt", 0x0416}, {0x0013, L"nl", 0x0413}, {0x0012, L"ko", 0x0412},
};

const LocaleEntry* FindSpecific(LANGID lang) {
    for (const auto& e : kLocales)
        if (e.lang == lang) return &e;
    return nullptr;
}

const NeutralEntry* FindNeutral(LANGID lang) {
    for (const auto& n : kNeutrals)
        if (n.lang == lang) return &n;
    return nullptr;
}

LCID Resolve(LCID lcid) {
    if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT || lcid == LOCALE_NEUTRAL)
        return GetUserDefaultLCID();
    return lcid;
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(wint_t(a[i])) != std::towlower(wint_t(b[i]))) return false;
    return true;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::optional<LCID>& ThreadLocale() {
    thread_local std::optional<LCID> locale;
    return locale;
}

}  // namespace

namespace orv::locale {

std::optional<LCID> LcidFromPosixName(std::string_view name) {
    // language[_territory][.codeset][@modifier]
    const std::size_t cut = name.find_first_of(".@");
    std::string_view base = name.substr(0, cut);
    if (base.empty() || base == "C" || base == "POSIX") return 0x0409;
    const std::size_t sep = base.find_first_of("_-");
    std::string language(base.substr(0, sep));
    std::string territory(sep == std::string_view::npos ? std::string_view() : base.substr(sep + 1));
    for (auto& c : language) c = Lower(c);
    for (auto& c : territory) c = char(std::toupper(static_cast<unsigned char>(c)));
    const LocaleEntry* languageDefault = nullptr;
    for (const auto& n : kNeutrals) {
        std::wstring_view iso(n.name);
        iso = iso.substr(0, 2);
        if (iso.size() == language.size() && std::equal(iso.begin(), iso.end(), language.begin(), [](wchar_t w, char c) {
                return w == wchar_t(c);
            })) {
            languageDefault = FindSpecific(n.defaultLocale);
            break;
        }
    }
    if (!languageDefault) return std::nullopt;
    if (!territory.empty()) {
        for (const auto& e : kLocales) {
            if (PRIMARYLANGID(e.lang) != PRIMARYLANGID(languageDefault->lang)) continue;
            const std::wstring_view country(e.iso3166);
            if (country.size() == territory.size() &&
                std::equal(country.begin(), country.end(), territory.begin(),
                           [](wchar_t w, char c) { return w == wchar_t(c); }))
                return e.lang;
        }
    }
    return languageDefault->lang;
}

std::optional<std::wstring> LocaleInfo(LCID lcid, LCTYPE type) {
    lcid = Resolve(lcid);
    const LANGID lang = LANGIDFROMLCID(lcid);
    const LocaleEntry* e = FindSpecific(lang);
    const NeutralEntry* neutral = nullptr;
    if (!e) {
        neutral = FindNeutral(lang);
        if (!neutral) return std::nullopt;
        e = FindSpecific(neutral->defaultLocale);
    }
    switch (type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP)) {
        case LOCALE_ILANGUAGE: {
            wchar_t buf[8];
            std::swprintf(buf, 8, L"%04x", unsigned(lang));
            return std::wstring(buf);
        }
        case LOCALE_SLANGUAGE:
        case LOCALE_SENGLANGUAGE:
            return std::wstring(e->language);
        case LOCALE_SABBREVLANGNAME:
            return std::wstring(e->abbrev);
        case LOCALE_SNATIVELANGNAME:
            return std::wstring(e->native);
        case LOCALE_SLIST:
            return std::wstring(e->list);
        case LOCALE_SDECIMAL:
            return std::wstring(e->decimal);
        case LOCALE_STHOUSAND:
            return std::wstring(e->thousand);
        case LOCALE_SPOSITIVESIGN:
            return std::wstring(e->positive);
        case LOCALE_SNEGATIVESIGN:
            return std::wstring(e->negative);
        case LOCALE_SISO639LANGNAME:
            return std::wstring(e->iso639);
        case LOCALE_SISO3166CTRYNAME:
            return std::wstring(neutral ? L"" : e->iso3166);
        case LOCALE_SNAME:
            return std::wstring(neutral ? neutral->name : e->name);
        case LOCALE_SENGCOUNTRY:
            return std::wstring(neutral ? L"" : e->country);
        default:
            return std::nullopt;
    }
}

std::vector<LCID> KnownLocales() {
    std::vector<LCID> all;
    for (const auto& e : kLocales) all.push_back(e.lang);
    for (const auto& n : kNeutrals) all.push_back(n.lang);
    std::sort(all.begin(), all.end());
    return all;
}

}  // namespace orv::locale

LCID GetUserDefaultLCID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        return orv::locale::LcidFromPosixName(value).value_or(0x0409);
    }
    return 0x0409;
}

LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(GetUserDefaultLCID()); }
LANGID GetUserDefaultUILanguage() { return GetUserDefaultLangID(); }
LCID GetSystemDefaultLCID() { return GetUserDefaultLCID(); }
LANGID GetSystemDefaultLangID() { return GetUserDefaultLangID(); }

LCID GetThreadLocale() { return ThreadLocale().value_or(GetUserDefaultLCID()); }

BOOL SetThreadLocale(LCID lcid) {
    if (lcid == LOCALE_USER_DEFAULT) {
        ThreadLocale().reset();
        return TRUE;
    }
    if (!IsValidLocale(lcid, LCID_SUPPORTED)) return FALSE;
    ThreadLocale() = lcid;
    return TRUE;
}

BOOL IsValidLocale(LCID lcid, DWORD) {
    const LANGID lang = LANGIDFROMLCID(lcid);
    return (FindSpecific(lang) || FindNeutral(lang)) ? TRUE : FALSE;
}

int GetLocaleInfo(LCID lcid, LCTYPE type, LPWSTR buffer, int capacity) {
    if (capacity < 0 || (capacity > 0 && !buffer)) return 0;
    if (type & LOCALE_RETURN_NUMBER) {
        if ((type & ~(LOCALE_RETURN_NUMBER | LOCALE_NOUSEROVERRIDE)) != LOCALE_ILANGUAGE) return 0;
        const LCID resolved = Resolve(lcid);
        if (!IsValidLocale(resolved, LCID_SUPPORTED)) return 0;
        if (capacity == 0) return 2;
        if (capacity < 2) return 0;
        const DWORD value = LANGIDFROMLCID(resolved);
        std::memcpy(buffer, &value, sizeof value);
        return 2;
    }
    const auto text = orv::locale::LocaleInfo(lcid, type);
    if (!text) return 0;
    const int needed = int(text->size()) + 1;
    if (capacity == 0) return needed;
    if (capacity < needed) return 0;
    std::wmemcpy(buffer, text->c_str(), text->size() + 1);
    return needed;
}

LCID LocaleNameToLCID(LPCWSTR name, DWORD) {
    if (!name) return GetUserDefaultLCID();
    const std::wstring_view n(name);
    if (n.empty()) return LOCALE_INVARIANT;
    for (const auto& e : kLocales)
        if (*e.name && EqualNoCase(n, e.name)) return e.lang;
    for (const auto& ne : kNeutrals)
        if (EqualNoCase(n, ne.name)) return ne.lang;
    if (EqualNoCase(n, L"zh")) return 0x0004;
    return 0;
}

int LCIDToLocaleName(LCID lcid, LPWSTR name, int capacity, DWORD) {
    const auto text = orv::locale::LocaleInfo(lcid, LOCALE_SNAME);
    if (!text) return 0;
    const int needed = int(text->size()) + 1;
    if (capacity == 0) return needed;
    if (!name || capacity < needed) return 0;
    std::wmemcpy(name, text->c_str(), text->size() + 1);
    return needed;
}
