#include <gtest/gtest.h>

#include "platform/drivers/scripted/ScriptLexer.h"

namespace {

using orv::script::Token;

struct TokenCase {
    const char* name;
    const char* line;
    std::vector<std::pair<std::string, bool>> tokens;  // text, quoted
};

TEST(ScriptLexer, SplitsWordsStringsAndComments) {
    const TokenCase cases[] = {
        {"empty", "", {}},
        {"blanks only", " \t  ", {}},
        {"comment only", "# a comment", {}},
        {"one word", "show", {{"show", false}}},
        {"words and blanks", "  click \t OK  ", {{"click", false}, {"OK", false}}},
        {"quoted caption", "click \"&Apply\"", {{"click", false}, {"&Apply", true}}},
        {"empty string", "type 1001 \"\"", {{"type", false}, {"1001", false}, {"", true}}},
        {"escapes", R"(type 1 "a\"b\\c\nd\te")", {{"type", false}, {"1", false}, {"a\"b\\c\nd\te", true}}},
        {"hash inside quotes", "type 1 \"#1\" # trailing", {{"type", false}, {"1", false}, {"#1", true}}},
        {"comment right after a word", "show#now", {{"show", false}}},
        {"comment right after a string", "key \"=\"# equals", {{"key", false}, {"=", true}}},
        {"blanks inside a string", "expect title \"  two  words \"", {{"expect", false}, {"title", false}, {"  two  words ", true}}},
        {"utf8 text", "type 1 \"\xC3\x84rger\"", {{"type", false}, {"1", false}, {"\xC3\x84rger", true}}},
        {"carriage return is a blank", "show\r", {{"show", false}}},
    };
    for (const auto& c : cases) {
        std::vector<Token> tokens;
        const auto error = orv::script::TokenizeLine(c.line, 1, tokens);
        ASSERT_FALSE(error) << c.name << ": " << error->message;
        ASSERT_EQ(c.tokens.size(), tokens.size()) << c.name;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            EXPECT_EQ(c.tokens[i].first, tokens[i].text) << c.name << " token " << i;
            EXPECT_EQ(c.tokens[i].second, tokens[i].quoted) << c.name << " token " << i;
        }
    }
}

TEST(ScriptLexer, TokensKnowTheirColumns) {
    std::vector<Token> tokens;
    ASSERT_FALSE(orv::script::TokenizeLine("  click \"OK\" 3", 1, tokens));
    ASSERT_EQ(3u, tokens.size());
    EXPECT_EQ(3, tokens[0].column);
    EXPECT_EQ(9, tokens[1].column);
    EXPECT_EQ(14, tokens[2].column);
}

struct ErrorCase {
    const char* line;
    int column;
    const char* message;
};

TEST(ScriptLexer, ReportsMalformedLinesWithTheirColumn) {
    const ErrorCase cases[] = {
        {"type 1 \"abc", 8, "unterminated string"},
        {"type 1 \"abc\\", 12, "unterminated string (a '\\' ends the line)"},
        {"type 1 \"a\\qb\"", 10, "unknown escape '\\q' (known: \\\" \\\\ \\n \\t)"},
        {"type 1 \"a\"b", 11, "expected a blank after the closing quote"},
        {"type ab\"c\"", 8, "unexpected '\"' inside a word"},
        {"\"", 1, "unterminated string"},
    };
    for (const auto& c : cases) {
        std::vector<Token> tokens;
        const auto error = orv::script::TokenizeLine(c.line, 7, tokens);
        ASSERT_TRUE(error) << c.line;
        EXPECT_EQ(7, error->line) << c.line;
        EXPECT_EQ(c.column, error->column) << c.line;
        EXPECT_EQ(c.message, error->message) << c.line;
    }
}

TEST(ScriptLexer, SplitScriptKeepsLineNumbersAcrossBlankLinesAndEndings) {
    std::vector<orv::script::ScriptLine> lines;
    ASSERT_FALSE(orv::script::SplitScript("\xEF\xBB\xBFshow\r\n\n# c\r\nclick OK\nclose", lines));
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("show", lines[0].tokens.at(0).text);  // the byte order mark is not part of it
    EXPECT_TRUE(lines[1].tokens.empty());
    EXPECT_TRUE(lines[2].tokens.empty());
    EXPECT_EQ(4, lines[3].number);
    EXPECT_EQ("OK", lines[3].tokens.at(1).text);
    EXPECT_EQ(5, lines[4].number);

    const auto error = orv::script::SplitScript("show\nshow\ntype 1 \"x\n", lines);
    ASSERT_TRUE(error);
    EXPECT_EQ(3, error->line);
    EXPECT_EQ(8, error->column);

    const auto nul = orv::script::SplitScript(std::string_view("show\nsh\0w\n", 10), lines);
    ASSERT_TRUE(nul);
    EXPECT_EQ(2, nul->line);
}

TEST(ScriptLexer, IntegersAreDecimalOrHexadecimal) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"0", 0},
        {"1001", 1001},
        {"-1", -1},
        {"+7", 7},
        {"0x10", 16},
        {"0XfF", 255},
        {"0x40200", 0x40200},
        {"-0x10", -16},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"0xFFFFFFFFFFFFFFFF", -1},
        {"0x1FFFFFFFFFFFFFFFF", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"0x", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {" 1", std::nullopt},
        {"0xG", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(expected, orv::script::ParseInteger(text)) << text;
}

TEST(ScriptLexer, RealsAreFiniteNumbersOnly) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1", 1.0},
        {"-2.5", -2.5},
        {"+2.5", 2.5},
        {"1e-300", 1e-300},
        {"1e300", 1e300},
        {"4.9e-324", 4.9e-324},
        {"1e-400", 0.0},
        {"0x10", 16.0},
        {"1e400", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1.5x", std::nullopt},
        {"", std::nullopt},
        {"e5", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(expected, orv::script::ParseReal(text)) << text;
}

TEST(ScriptLexer, QuoteIsTheInverseOfTokenizing) {
    const std::string texts[] = {"", "plain", "a \"b\"", "back\\slash", "line\nbreak\ttab", "#hash"};
    for (const auto& text : texts) {
        std::vector<Token> tokens;
        ASSERT_FALSE(orv::script::TokenizeLine(orv::script::Quote(text), 1, tokens)) << text;
        ASSERT_EQ(1u, tokens.size());
        EXPECT_EQ(text, tokens[0].text);
    }
}

}  // namespace
