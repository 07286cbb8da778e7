#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/locale/Locale.h"

namespace {

std::wstring Info(LCID lcid, LCTYPE type) {
    wchar_t buffer[64] = {};
    const int n = GetLocaleInfo(lcid, type, buffer, 64);
    if (n == 0) return L"<none>";
    return std::wstring(buffer, std::size_t(n - 1));
}

// Sets the three locale variables for one test and restores them.
class Environment {
public:
    Environment(const char* all, const char* messages, const char* lang) {
        for (int i = 0; i < 3; ++i) {
            const char* old = std::getenv(kNames[i]);
            if (old) saved_[i] = old;
        }
        Set("LC_ALL", all);
        Set("LC_MESSAGES", messages);
        Set("LANG", lang);
    }
    ~Environment() {
        for (int i = 0; i < 3; ++i) Set(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    }

private:
    static void Set(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved_[3];
};

TEST(Locale, IdMacrosComposeAndTakeApart) {
    EXPECT_EQ(0x0407, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    EXPECT_EQ(2052, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_EQ(0x0C07u, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN));
    EXPECT_EQ(LANG_GERMAN, PRIMARYLANGID(0x0C07));
    EXPECT_EQ(SUBLANG_GERMAN_AUSTRIAN, SUBLANGID(0x0C07));
    EXPECT_EQ(0x00010407u, MAKELCID(0x0407, 1));
    EXPECT_EQ(0x0407, LANGIDFROMLCID(0x00010407));
    EXPECT_EQ(1u, SORTIDFROMLCID(0x00010407));
    EXPECT_EQ(0x00210407u, MAKESORTLCID(0x0407, 1, 2));
    // The neutral form keeps the primary language and the sort bits.
    EXPECT_EQ(0x0007u, orv::locale::NeutralLocale(1031));
    EXPECT_EQ(0x0004u, orv::locale::NeutralLocale(2052));
    EXPECT_EQ(0x00210007u, orv::locale::NeutralLocale(0x00210C07));
}

TEST(Locale, TableGivesTheFrameworksTexts) {
    struct Row {
        LCID lcid;
        const wchar_t* abbrev;
        const wchar_t* decimal;
        const wchar_t* thousand;
        const wchar_t* language;
        const wchar_t* name;
    };
    const Row rows[] = {
        {1033, L"ENU", L".", L",", L"English", L"en-US"},
        {1031, L"DEU", L",", L".", L"German", L"de-DE"},
        {1036, L"FRA", L",", L"\u00A0", L"French", L"fr-FR"},
        {1040, L"ITA", L",", L".", L"Italian", L"it-IT"},
        {1034, L"ESP", L",", L".", L"Spanish", L"es-ES_tradnl"},
        {3082, L"ESN", L",", L".", L"Spanish", L"es-ES"},
        {1041, L"JPN", L".", L",", L"Japanese", L"ja-JP"},
        {2052, L"CHS", L".", L",", L"Chinese", L"zh-CN"},
        {1049, L"RUS", L",", L"\u00A0", L"Russian", L"ru-RU"},
        {2057, L"ENG", L".", L",", L"English", L"en-GB"},
        {3079, L"DEA", L",", L".", L"German", L"de-AT"},
        {2055, L"DES", L".", L"'", L"German", L"de-CH"},
        {1028, L"CHT", L".", L",", L"Chinese", L"zh-TW"},
        // Neutral forms answer with their language's default locale.
        {0x0009, L"ENU", L".", L",", L"English", L"en"},
        {0x0007, L"DEU", L",", L".", L"German", L"de"},
        {0x000C, L"FRA", L",", L"\u00A0", L"French", L"fr"},
        {0x0010, L"ITA", L",", L".", L"Italian", L"it"},
        {0x000A, L"ESP", L",", L".", L"Spanish", L"es"},
        {0x0011, L"JPN", L".", L",", L"Japanese", L"ja"},
        {0x0004, L"CHS", L".", L",", L"Chinese", L"zh-Hans"},
        {0x0019, L"RUS", L",", L"\u00A0", L"Russian", L"ru"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.lcid);
        EXPECT_EQ(r.abbrev, Info(r.lcid, LOCALE_SABBREVLANGNAME));
        EXPECT_EQ(r.decimal, Info(r.lcid, LOCALE_SDECIMAL));
        EXPECT_EQ(r.thousand, Info(r.lcid, LOCALE_STHOUSAND));
        EXPECT_EQ(L"-", Info(r.lcid, LOCALE_SNEGATIVESIGN));
        EXPECT_EQ(L"", Info(r.lcid, LOCALE_SPOSITIVESIGN));
        EXPECT_EQ(r.language, Info(r.lcid, LOCALE_SENGLANGUAGE));
        EXPECT_EQ(r.name, Info(r.lcid, LOCALE_SNAME));
        EXPECT_EQ(r.lcid, LocaleNameToLCID(r.name, 0));
        EXPECT_TRUE(IsValidLocale(r.lcid, LCID_SUPPORTED));
    }
    EXPECT_EQ(L"Germany", Info(1031, LOCALE_SENGCOUNTRY));
    EXPECT_EQ(L"", Info(0x0007, LOCALE_SENGCOUNTRY));
    EXPECT_EQ(L"0407", Info(1031, LOCALE_ILANGUAGE));
    EXPECT_EQ(L"DEU", Info(0x00010407, LOCALE_SABBREVLANGNAME | LOCALE_NOUSEROVERRIDE));  // sort bits ignored
    EXPECT_EQ(L"Deutsch", Info(1031, LOCALE_SNATIVELANGNAME));
    EXPECT_EQ(L"+", Info(LOCALE_INVARIANT, LOCALE_SPOSITIVESIGN));
}

TEST(Locale, EveryKnownLocaleHasItsTexts) {
    const auto all = orv::locale::KnownLocales();
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    EXPECT_EQ(all.end(), std::adjacent_find(all.begin(), all.end()));
    for (LCID lcid : all) {
        SCOPED_TRACE(lcid);
        EXPECT_EQ(3u, Info(lcid, LOCALE_SABBREVLANGNAME).size());
        EXPECT_EQ(1u, Info(lcid, LOCALE_SDECIMAL).size());
        EXPECT_EQ(L"-", Info(lcid, LOCALE_SNEGATIVESIGN));
        if (lcid != LOCALE_INVARIANT) {
            EXPECT_EQ(lcid, LocaleNameToLCID(Info(lcid, LOCALE_SNAME).c_str(), 0));
        }
    }
}

TEST(Locale, UnknownLocalesAndTypesGiveNothing) {
    EXPECT_EQ(L"<none>", Info(0x0436, LOCALE_SABBREVLANGNAME));  // not in the table
    EXPECT_EQ(L"<none>", Info(1033, 0x7777));
    EXPECT_FALSE(IsValidLocale(0x0436, LCID_SUPPORTED));
    EXPECT_FALSE(SetThreadLocale(0x0436));
    EXPECT_EQ(0u, LocaleNameToLCID(L"xx-YY", 0));
    EXPECT_EQ(L"<none>", Info(0, 0));
}

TEST(Locale, BufferProtocol) {
    EXPECT_EQ(4, GetLocaleInfo(1031, LOCALE_SABBREVLANGNAME, nullptr, 0));  // the size needed
    wchar_t small[3] = {L'x', L'x', L'x'};
    EXPECT_EQ(0, GetLocaleInfo(1031, LOCALE_SABBREVLANGNAME, small, 3));
    wchar_t exact[4];
    EXPECT_EQ(4, GetLocaleInfo(1031, LOCALE_SABBREVLANGNAME, exact, 4));
    EXPECT_STREQ(L"DEU", exact);
    // An empty text is one character: the terminator. Callers take "shorter than 2" as empty.
    wchar_t sign[12];
    EXPECT_EQ(1, GetLocaleInfo(1031, LOCALE_SPOSITIVESIGN, sign, 12));
    EXPECT_EQ(0, GetLocaleInfo(1031, LOCALE_SPOSITIVESIGN, sign, -1));
    DWORD number[2] = {};
    EXPECT_EQ(2, GetLocaleInfo(2052, LOCALE_ILANGUAGE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(number), 2));
    EXPECT_EQ(2052u, number[0]);
    wchar_t name[16];
    EXPECT_EQ(6, LCIDToLocaleName(1049, name, 16, 0));
    EXPECT_STREQ(L"ru-RU", name);
    EXPECT_EQ(0, LCIDToLocaleName(1049, name, 5, 0));
}

TEST(Locale, UserDefaultComesFromTheEnvironmentInPrecedenceOrder) {
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        LCID expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, 1033},
        {nullptr, nullptr, "de_DE.UTF-8", 1031},
        {nullptr, nullptr, "C", 1033},
        {nullptr, nullptr, "POSIX", 1033},
        {nullptr, nullptr, "C.UTF-8", 1033},
        {nullptr, nullptr, "fr_FR.UTF-8", 1036},
        {nullptr, nullptr, "fr_CA", 3084},
        {nullptr, nullptr, "it_IT@euro", 1040},
        {nullptr, nullptr, "es_ES.ISO-8859-15@euro", 1034},
        {nullptr, nullptr, "es_MX", 2058},
        {nullptr, nullptr, "ja_JP.eucJP", 1041},
        {nullptr, nullptr, "zh_CN.GB18030", 2052},
        {nullptr, nullptr, "zh_TW.Big5", 1028},
        {nullptr, nullptr, "zh", 2052},
        {nullptr, nullptr, "ru_RU.KOI8-R", 1049},
        {nullptr, nullptr, "de", 1031},
        {nullptr, nullptr, "de_LU.UTF-8", 1031},  // territory not in the table: the language's default
        {nullptr, nullptr, "DE_de", 1031},
        {nullptr, nullptr, "en_GB.UTF-8", 2057},
        {nullptr, nullptr, "xx_YY.UTF-8", 1033},  // unknown language
        {nullptr, "ja_JP.UTF-8", "de_DE.UTF-8", 1041},
        {"it_IT.UTF-8", "ja_JP.UTF-8", "de_DE.UTF-8", 1040},
        {"", "", "ru_RU.UTF-8", 1049},  // empty variables count as unset
        {"C", nullptr, "de_DE.UTF-8", 1033},
    };
    for (const auto& c : cases) {
        Environment env(c.all, c.messages, c.lang);
        SCOPED_TRACE(std::string(c.all ? c.all : "-") + " " + (c.messages ? c.messages : "-") + " " +
                     (c.lang ? c.lang : "-"));
        EXPECT_EQ(c.expected, GetUserDefaultLCID());
        EXPECT_EQ(LANGIDFROMLCID(c.expected), GetUserDefaultUILanguage());
        EXPECT_EQ(c.expected, GetThreadLocale());
    }
    Environment german(nullptr, nullptr, "de_DE.UTF-8");
    EXPECT_EQ(L",", Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL));
    EXPECT_EQ(L"DEU", Info(LOCALE_SYSTEM_DEFAULT, LOCALE_SABBREVLANGNAME));
    EXPECT_TRUE(SetThreadLocale(1041));
    EXPECT_EQ(1041u, GetThreadLocale());
    EXPECT_EQ(1031u, GetUserDefaultLCID());
    EXPECT_TRUE(SetThreadLocale(LOCALE_USER_DEFAULT));  // follows the user's locale again
    EXPECT_EQ(1031u, GetThreadLocale());
}

}  // namespace
