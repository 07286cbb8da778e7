#pragma once
// Locale ids and locale information: the user's default locale from the environment and the
// per-locale texts the dialogs ask for (abbreviated language name, separators, signs).
//
// Neutral locales (sublanguage SUBLANG_NEUTRAL) answer with the information of their
// language's default locale, the one with SUBLANG_DEFAULT (for Chinese, whose neutral form is
// Simplified Chinese, 2052), apart from LOCALE_SNAME ("de") and the country texts (empty). In
// particular their LOCALE_SABBREVLANGNAME is that of the default locale: "DEU" for 0x0007,
// "ESP" for 0x000A, "CHS" for 0x0004, as the framework reports for neutral locales; so a
// locale without a satellite of its own (de-AT, "DEA") falls back to its language's ("DEU").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinTypes.h"

using LCID = DWORD;
using LANGID = WORD;
using LCTYPE = DWORD;

constexpr LANGID MAKELANGID(unsigned primary, unsigned sub) { return LANGID((WORD(sub) << 10) | WORD(primary & 0x3FF)); }
constexpr unsigned PRIMARYLANGID(LANGID lang) { return lang & 0x3FF; }
constexpr unsigned SUBLANGID(LANGID lang) { return WORD(lang) >> 10; }
constexpr LCID MAKELCID(LANGID lang, unsigned sort) { return (DWORD(WORD(sort)) << 16) | DWORD(WORD(lang)); }
constexpr LCID MAKESORTLCID(LANGID lang, unsigned sort, unsigned sortVersion) {
    return MAKELCID(lang, sort) | (DWORD(sortVersion & 0xF) << 20);
}
constexpr LANGID LANGIDFROMLCID(LCID lcid) { return LANGID(lcid & 0xFFFF); }
constexpr unsigned SORTIDFROMLCID(LCID lcid) { return (lcid >> 16) & 0xF; }
constexpr unsigned SORTVERSIONFROMLCID(LCID lcid) { return (lcid >> 20) & 0xF; }

inline constexpr unsigned LANG_NEUTRAL = 0x00;
inline constexpr unsigned LANG_INVARIANT = 0x7F;
inline constexpr unsigned LANG_CHINESE = 0x04;
inline constexpr unsigned LANG_GERMAN = 0x07;
inline constexpr unsigned LANG_ENGLISH = 0x09;
inline constexpr unsigned LANG_SPANISH = 0x0A;
inline constexpr unsigned LANG_FRENCH = 0x0C;
inline constexpr unsigned LANG_ITALIAN = 0x10;
inline constexpr unsigned LANG_JAPANESE = 0x11;
inline constexpr unsigned LANG_KOREAN = 0x12;
inline constexpr unsigned LANG_DUTCH = 0x13;
inline constexpr unsigned LANG_PORTUGUESE = 0x16;
inline constexpr unsigned LANG_RUSSIAN = 0x19;

inline constexpr unsigned SUBLANG_NEUTRAL = 0x00;
inline constexpr unsigned SUBLANG_DEFAULT = 0x01;
inline constexpr unsigned SUBLANG_SYS_DEFAULT = 0x02;
inline constexpr unsigned SUBLANG_ENGLISH_US = 0x01;
inline constexpr unsigned SUBLANG_ENGLISH_UK = 0x02;
inline constexpr unsigned SUBLANG_GERMAN = 0x01;
inline constexpr unsigned SUBLANG_GERMAN_SWISS = 0x02;
inline constexpr unsigned SUBLANG_GERMAN_AUSTRIAN = 0x03;
inline constexpr unsigned SUBLANG_FRENCH = 0x01;
inline constexpr unsigned SUBLANG_FRENCH_CANADIAN = 0x03;
inline constexpr unsigned SUBLANG_ITALIAN = 0x01;
inline constexpr unsigned SUBLANG_SPANISH = 0x01;
inline constexpr unsigned SUBLANG_SPANISH_MEXICAN = 0x02;
inline constexpr unsigned SUBLANG_SPANISH_MODERN = 0x03;
inline constexpr unsigned SUBLANG_JAPANESE_JAPAN = 0x01;
inline constexpr unsigned SUBLANG_CHINESE_TRADITIONAL = 0x01;
inline constexpr unsigned SUBLANG_CHINESE_SIMPLIFIED = 0x02;
inline constexpr unsigned SUBLANG_RUSSIAN_RUSSIA = 0x01;

inline constexpr unsigned SORT_DEFAULT = 0x0;

inline constexpr LCID LOCALE_NEUTRAL = 0x0000;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID LOCALE_INVARIANT = 0x007F;

// LCTYPE values of GetLocaleInfo.
inline constexpr LCTYPE LOCALE_ILANGUAGE = 0x0001;
inline constexpr LCTYPE LOCALE_SLANGUAGE = 0x0002;
inline constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x0003;
inline constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x0004;
inline constexpr LCTYPE LOCALE_SLIST = 0x000C;
inline constexpr LCTYPE LOCALE_SDECIMAL = 0x000E;
inline constexpr LCTYPE LOCALE_STHOUSAND = 0x000F;
inline constexpr LCTYPE LOCALE_SPOSITIVESIGN = 0x0050;
inline constexpr LCTYPE LOCALE_SNEGATIVESIGN = 0x0051;
inline constexpr LCTYPE LOCALE_SISO639LANGNAME = 0x0059;
inline constexpr LCTYPE LOCALE_SISO3166CTRYNAME = 0x005A;
inline constexpr LCTYPE LOCALE_SNAME = 0x005C;
inline constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;
inline constexpr LCTYPE LOCALE_SENGCOUNTRY = 0x1002;
inline constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
inline constexpr LCTYPE LOCALE_USE_CP_ACP = 0x40000000;
inline constexpr LCTYPE LOCALE_RETURN_NUMBER = 0x20000000;

// The user's locale: LC_ALL, else LC_MESSAGES, else LANG ("de_DE.UTF-8" gives 1031; "C",
// "POSIX", unset or unknown languages give 1033). Read from the environment at each call.
LCID GetUserDefaultLCID();
LANGID GetUserDefaultLangID();
LANGID GetUserDefaultUILanguage();
// This platform has no separate system locale: the same as the user's.
LCID GetSystemDefaultLCID();
LANGID GetSystemDefaultLangID();
// The calling thread's locale: the one set by SetThreadLocale, else the user's.
// SetThreadLocale(LOCALE_USER_DEFAULT) makes the thread follow the user's locale again.
LCID GetThreadLocale();
BOOL SetThreadLocale(LCID lcid);
// Whether lcid (with LCID_SUPPORTED/LCID_INSTALLED, both the same here) is in the table.
inline constexpr DWORD LCID_INSTALLED = 0x1;
inline constexpr DWORD LCID_SUPPORTED = 0x2;
BOOL IsValidLocale(LCID lcid, DWORD flags);

// Writes the requested text with its terminator and returns the number of characters written
// including the terminator. capacity 0: returns the size needed and writes nothing. Returns 0
// when the locale or the type is unknown or the buffer is too small. LOCALE_USER_DEFAULT,
// LOCALE_SYSTEM_DEFAULT and LOCALE_NEUTRAL stand for the user's locale; sort bits are ignored.
// With LOCALE_RETURN_NUMBER, LOCALE_ILANGUAGE writes the language id as a DWORD into the
// buffer (capacity counted in characters, at least 2) and returns 2.
int GetLocaleInfo(LCID lcid, LCTYPE type, LPWSTR buffer, int capacity);
inline int GetLocaleInfoW(LCID lcid, LCTYPE type, LPWSTR buffer, int capacity) {
    return GetLocaleInfo(lcid, type, buffer, capacity);
}

// LCID <-> locale name ("de-DE", "de"); 0 / 0 characters when unknown.
LCID LocaleNameToLCID(LPCWSTR name, DWORD flags);
int LCIDToLocaleName(LCID lcid, LPWSTR name, int capacity, DWORD flags);

namespace orv::locale {

// The locale a POSIX locale name denotes ("de_DE.UTF-8@euro" -> 1031, "de" -> 1031,
// "de_LU" -> 1031, "C"/"POSIX"/"" -> 1033); nullopt when the language is not in the table.
std::optional<LCID> LcidFromPosixName(std::string_view name);

// The same text GetLocaleInfo gives, or nullopt.
std::optional<std::wstring> LocaleInfo(LCID lcid, LCTYPE type);

// Every locale id in the table, specific and neutral, in ascending order.
std::vector<LCID> KnownLocales();

// The locale id with the sublanguage set to neutral; the primary language and the sort id and
// sort version bits are kept.
constexpr LCID NeutralLocale(LCID lcid) { return lcid & 0x00FF03FF; }

}  // namespace orv::locale
