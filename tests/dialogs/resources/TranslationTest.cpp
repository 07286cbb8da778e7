// Every string of the library's English tables has a German entry in the satellite, with the
// same inserts and format specifiers, so a German user never meets an English text or a
// message whose values land in the wrong place.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/res/Module.h"
#include "platform/res/Resources.h"

namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(ORV_SOURCE_DIR) / "dialogs/resources";

// English families whose German script is still to be written.
const std::set<std::string> kAwaitingTranslation = {};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "#define NAME NUMBER" of every header of the resources folder.
std::map<std::string, unsigned> Defines() {
    std::map<std::string, unsigned> defines;
    static const std::regex define(R"(^\s*#define\s+(\w+)\s+(\d+)\s*$)");
    for (const auto& entry : fs::directory_iterator(kResources)) {
        if (entry.path().extension() != ".h") continue;
        std::istringstream lines(ReadFile(entry.path()));
        std::string line;
        std::smatch m;
        while (std::getline(lines, line))
            if (std::regex_match(line, m, define)) defines[m[1]] = unsigned(std::stoul(m[2]));
    }
    return defines;
}

struct StringEntry {
    std::string file;
    int line = 0;
    std::string name;
    unsigned id = 0;
};

// The ids of the STRINGTABLE entries of one script, by name or number.
std::vector<StringEntry> StringTableEntries(const fs::path& script, const std::map<std::string, unsigned>& defines) {
    std::vector<StringEntry> entries;
    std::istringstream lines(ReadFile(script));
    std::string line;
    static const std::regex entryLine(R"(^\s*(\w+)\s*,?\s*")");
    bool inTable = false, inBlock = false;
    int number = 0;
    std::smatch m;
    while (std::getline(lines, line)) {
        ++number;
        if (line.find("STRINGTABLE") == 0) {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        if (line.find("BEGIN") != std::string::npos && !inBlock) {
            inBlock = true;
            continue;
        }
        if (line.find("END") == 0) {
            inTable = inBlock = false;
            continue;
        }
        if (!inBlock || !std::regex_search(line, m, entryLine)) continue;
        StringEntry e;
        e.file = script.filename().string();
        e.line = number;
        e.name = m[1];
        const auto it = defines.find(e.name);
        if (it != defines.end())
            e.id = it->second;
        else if (std::all_of(e.name.begin(), e.name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            e.id = unsigned(std::stoul(e.name));
        entries.push_back(e);
    }
    return entries;
}

// The inserts of a text in order of their number ("%1", "%2!ld!") and its printf-style
// specifiers in order of appearance ("%d", "%.3e"); "%%" is a literal. (A blank as a printf
// flag is left out: "5% of" is prose, not a specifier.)
std::vector<std::wstring> Inserts(const std::wstring& text) {
    std::vector<std::wstring> numbered, printf;
    static const std::wregex spec(LR"(%(?:(%)|([1-9][0-9]?)(![^!]*!)?|([-+#0]*[0-9*]*(?:\.[0-9*]+)?(?:hh|h|ll|l|L|z|I64)?[diouxXeEfgGcsSp])))");
    for (std::wsregex_iterator it(text.begin(), text.end(), spec), end; it != end; ++it) {
        const std::wsmatch& m = *it;
        if (m[1].matched) continue;
        if (m[2].matched)
            numbered.push_back(L"%" + m.str(2) + m.str(3));
        else
            printf.push_back(L"%" + m.str(4));
    }
    std::sort(numbered.begin(), numbered.end());
    numbered.insert(numbered.end(), printf.begin(), printf.end());
    return numbered;
}

TEST(TranslationTest, InsertsAreReadInOrderOfNumberAndPrintfSpecifiersInPlace) {
    EXPECT_EQ(Inserts(L"%2 of %1!ld! at 100%% (%.3e, %d)"),
              (std::vector<std::wstring>{L"%1!ld!", L"%2", L"%.3e", L"%d"}));
    EXPECT_TRUE(Inserts(L"no inserts here").empty());
}

// Also: no string id is defined in two English scripts. The scripts compile one by one, so only
// the German aggregate would notice, and then only which text won.
TEST(TranslationTest, EveryEnglishStringHasAGermanEntryWithTheSameInserts) {
    const auto defines = Defines();
    std::vector<StringEntry> entries;
    std::map<unsigned, std::string> firstDefinition;
    for (const auto& file : fs::directory_iterator(kResources)) {
        if (file.path().extension() != ".rc") continue;
        const std::string name = file.path().filename().string();
        const bool translated = fs::exists(kResources / "Locale/DEU" / name);
        if (kAwaitingTranslation.count(name)) {
            EXPECT_FALSE(translated) << name << " has a German script now: take it off the waiting list";
            continue;
        }
        for (const StringEntry& e : StringTableEntries(file.path(), defines)) {
            EXPECT_NE(e.id, 0u) << e.file << ":" << e.line << ": no id for " << e.name;
            EXPECT_TRUE(translated) << e.file << " has strings but no German script";
            const std::string where = e.file + ":" + std::to_string(e.line);
            const auto [first, fresh] = firstDefinition.emplace(e.id, where);
            EXPECT_TRUE(fresh || e.id == 0)
                << where << ": string " << e.id << " (" << e.name << ") is defined at " << first->second << " already";
            entries.push_back(e);
        }
    }
    ASSERT_GT(entries.size(), 50u) << "the string tables were not found in " << kResources;

    const fs::path satellite = fs::path(ORV_BINARY_DIR) / "bin/Locale/libDataModelDialogs.DEU";
    if (!fs::exists(satellite)) GTEST_SKIP() << "the German satellite is not built: " << satellite;
    HMODULE german = LoadLibraryEx(satellite.wstring().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(german, nullptr);
    for (const StringEntry& e : entries) {
        const std::string where = e.file + ":" + std::to_string(e.line) + " " + e.name;
        std::wstring english, translated;
        ASSERT_TRUE(orv::res::LoadStringResource(nullptr, e.id, english)) << where;
        if (!orv::res::LoadStringResource(german, e.id, translated)) {
            ADD_FAILURE() << where << ": no German entry";
            continue;
        }
        EXPECT_FALSE(translated.empty()) << where;
        EXPECT_EQ(Inserts(translated), Inserts(english)) << where;
    }
    FreeLibrary(german);
}

TEST(TranslationTest, TheCurveEditorTitlesAndMessagesAreGerman) {
    const fs::path satellite = fs::path(ORV_BINARY_DIR) / "bin/Locale/libDataModelDialogs.DEU";
    if (!fs::exists(satellite)) GTEST_SKIP() << "the German satellite is not built: " << satellite;
    HMODULE german = LoadLibraryEx(satellite.wstring().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(german, nullptr);
    std::wstring text;
    ASSERT_TRUE(orv::res::LoadStringResource(german, 3060, text));
    EXPECT_EQ(text, L"Multiplikatortabellen-Editor");
    ASSERT_TRUE(orv::res::LoadStringResource(german, 3051, text));
    EXPECT_NE(text.find(L"\r\n"), std::wstring::npos);  // two lines, as in English
    ASSERT_TRUE(orv::res::LoadStringResource(german, 3400, text));
    EXPECT_EQ(text, L"Die Kurveneditor-Komponente kann nicht angezeigt werden.");
    FreeLibrary(german);
}

}  // namespace
