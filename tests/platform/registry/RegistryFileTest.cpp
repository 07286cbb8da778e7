#include <gtest/gtest.h>

#include <cstring>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryFile.h"

namespace {

using orv::registry::ParseHive;
using orv::registry::RegKeyNode;
using orv::registry::RegValue;
using orv::registry::TextValueData;
using orv::registry::WriteHive;

TEST(RegistryFile, OddNamesAndDataSurviveAWriteAndARead) {
    RegKeyNode root;
    RegKeyNode& key = root.AddChild(L"Soft[ware]", false).AddChild(L"100% \"quoted\"\ttab", false);
    key.values.push_back(RegValue{L"", REG_SZ, TextValueData(L"default")});
    key.values.push_back(RegValue{L"back\\slash \"q\"\n", REG_SZ, TextValueData(L"Grüße ✓ \U0001F600 \x01 end")});
    key.values.push_back(RegValue{L"dw", REG_DWORD, {0x78, 0x56, 0x34, 0x12}});
    key.values.push_back(RegValue{L"multi", REG_MULTI_SZ, TextValueData(L"a")});
    // Text data that is not exactly one terminated text keeps its bytes.
    key.values.push_back(RegValue{L"raw", REG_SZ, {0x41, 0, 0, 0}});
    key.values.push_back(RegValue{L"shortdw", REG_DWORD, {1, 2}});
    key.values.push_back(RegValue{L"bin", REG_BINARY, {}});
    root.AddChild(L"Empty", false);
    root.AddChild(L"Gone", true);  // volatile: not written
    root.values.push_back(RegValue{L"rootvalue", REG_DWORD, {1, 0, 0, 0}});

    const std::string text = WriteHive(root);
    EXPECT_EQ(std::string::npos, text.find("Gone"));
    EXPECT_NE(std::string::npos, text.find("[Soft%5Bware%5D\\100%25 \"quoted\"%09tab]")) << text;
    EXPECT_NE(std::string::npos, text.find("\"dw\"=dword:12345678")) << text;

    RegKeyNode back;
    std::wstring error;
    ASSERT_TRUE(ParseHive(text, back, error)) << ::testing::PrintToString(error) << "\n" << text;
    EXPECT_EQ(nullptr, back.Child(L"Gone"));
    ASSERT_NE(nullptr, back.Child(L"EMPTY"));
    RegKeyNode* read = back.Child(L"soft[WARE]")->Child(L"100% \"QUOTED\"\tTAB");
    ASSERT_NE(nullptr, read);
    ASSERT_EQ(key.values.size(), read->values.size());
    for (std::size_t i = 0; i < key.values.size(); ++i) {
        EXPECT_EQ(key.values[i].name, read->values[i].name) << i;
        EXPECT_EQ(key.values[i].type, read->values[i].type) << i;
        EXPECT_EQ(key.values[i].data, read->values[i].data) << i;
    }
    ASSERT_EQ(1u, back.values.size());
    EXPECT_EQ(L"rootvalue", back.values[0].name);
    // Writing what was read gives the same text.
    EXPECT_EQ(text, WriteHive(back));
}

TEST(RegistryFile, ParseErrorsSayWhereAndWhat) {
    struct Case {
        const char* text;
        const wchar_t* error;
    };
    const Case cases[] = {
        {"", L"line 1: expected the header \"ORV-REGISTRY 1\""},
        {"ORV-REGISTRY 2\n", L"line 1: expected the header \"ORV-REGISTRY 1\""},
        {"ORV-REGISTRY 1\n\"a\"=dword:1\n", L"line 2: expected a key section \"[...]\" before the first value"},
        {"ORV-REGISTRY 1\n[Software\n", L"line 2: expected ']' at the end of the key section"},
        {"ORV-REGISTRY 1\n[Soft]ware]\n", L"line 2: unexpected ']' in the key path"},
        {"ORV-REGISTRY 1\n[Soft%4]\n", L"line 2: expected two hexadecimal digits after '%' in the key path"},
        {"ORV-REGISTRY 1\n[A\\\\B]\n", L"line 2: empty key name in the key path"},
        {"ORV-REGISTRY 1\n[A]\n\"a\" dword:1\n", L"line 3: expected '='"},
        {"ORV-REGISTRY 1\n[A]\n\"a=dword:1\n", L"line 3: expected '\"' at the end of the text"},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=dword:123456789\n", L"line 3: too many hexadecimal digits"},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=dword:\n", L"line 3: expected a hexadecimal number"},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=hex:1,02\n", L"line 3: expected a byte as two hexadecimal digits"},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=hex:01;02\n", L"line 3: expected ','"},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=hex(7:01\n", L"line 3: expected \"):\""},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=\"x\\q\"\n", L"line 3: unknown escape \"\\q\""},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=\"x\\x4\"\n", L"line 3: expected two hexadecimal digits after \"\\x\""},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=\"x\" junk\n", L"line 3: unexpected text after the value"},
        {"ORV-REGISTRY 1\n[A]\n\"a\"=word:1\n",
         L"line 3: expected a value: \"text\", expand:, dword:, qword:, hex: or hex(type):"},
        {"ORV-REGISTRY 1\n; comment\n\n[A]\r\n\"a\"=dword:1\r\n@=\"ok\"\n\"b\"=qword:", L"line 7: expected a hexadecimal number"},
    };
    for (const auto& c : cases) {
        RegKeyNode root;
        std::wstring error;
        EXPECT_FALSE(ParseHive(c.text, root, error)) << c.text;
        EXPECT_EQ(c.error, error) << c.text;
    }
}

TEST(RegistryFile, AcceptsCommentsBlankLinesAndWindowsLineEnds) {
    RegKeyNode root;
    std::wstring error;
    ASSERT_TRUE(ParseHive("; written by hand\r\nORV-REGISTRY 1\r\n\r\n[A]\r\n  \"x\" = dword:0000002a  \r\n@=hex:\r\n[A]\r\n"
                          "\"x\"=dword:2b\n",
                          root, error))
        << ::testing::PrintToString(error);
    RegKeyNode* a = root.Child(L"a");
    ASSERT_NE(nullptr, a);
    ASSERT_EQ(2u, a->values.size());
    EXPECT_EQ((std::vector<BYTE>{0x2b, 0, 0, 0}), a->Value(L"X")->data);  // a later line wins
    EXPECT_EQ(REG_BINARY, a->Value(L"")->type);
}

TEST(RegistryFile, KeyNamesFoldBeyondAscii) {
    using orv::registry::FoldKeyName;
    EXPECT_EQ(FoldKeyName(L"Wärme"), FoldKeyName(L"WÄRME"));
    EXPECT_EQ(FoldKeyName(L"Łódź"), FoldKeyName(L"ŁÓDŹ"));
    EXPECT_EQ(FoldKeyName(L"единицы"), FoldKeyName(L"ЕДИНИЦЫ"));
    EXPECT_NE(FoldKeyName(L"a"), FoldKeyName(L"b"));
}

}  // namespace

namespace {

// Every damaged variant of a valid file either parses, and then writes back to text that
// parses to the same tree, or is refused with a line number inside the text.
TEST(RegistryFile, DamagedFilesAreRefusedWithALineOrReadConsistently) {
    const std::string valid =
        "ORV-REGISTRY 1\n[Software\\ORVEN, Inc.\\ORVEN Software]\n\"Last used\"=hex:34,00,ff\n"
        "\"n\"=dword:0000002a\n@=\"a \\\"b\\\" \\x01\"\n[Software\\x%25y]\n\"e\"=expand:\"%HOME%\"\n";
    const char replacements[] = {'"', '\\', '[', ']', '=', ':', ',', '%', '\n', 'x', '0', '@', '\0'};
    std::size_t lines = 1;
    for (char c : valid) lines += c == '\n';
    int refused = 0, accepted = 0;
    for (std::size_t pos = 0; pos < valid.size(); ++pos) {
        std::vector<std::string> variants;
        variants.push_back(valid.substr(0, pos) + valid.substr(pos + 1));  // a character lost
        variants.push_back(valid.substr(0, pos));                            // the file cut short
        for (char r : replacements) {
            std::string changed = valid;
            changed[pos] = r;
            variants.push_back(changed);
        }
        for (const auto& text : variants) {
            RegKeyNode root;
            std::wstring error;
            if (!ParseHive(text, root, error)) {
                ++refused;
                ASSERT_EQ(0u, error.rfind(L"line ", 0)) << text;
                const std::size_t line = std::stoul(error.substr(5));
                EXPECT_GE(line, 1u) << text;
                EXPECT_LE(line, lines + 1) << text;
                continue;
            }
            ++accepted;
            const std::string written = WriteHive(root);
            RegKeyNode again;
            ASSERT_TRUE(ParseHive(written, again, error)) << written;
            EXPECT_EQ(written, WriteHive(again)) << text;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(accepted, 0);
}

}  // namespace
