#pragma once
// Scenario scripts as tokens: one command per line, blanks between tokens, "#" starts a comment
// outside quotes, strings in double quotes with \" \\ \n \t escapes. Text stays UTF-8 here;
// commands convert what they show in windows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::script {

struct Token {
    std::string text;     // the word, or the string's value with its escapes resolved
    bool quoted = false;  // written in double quotes: "OK" is a caption, OK a button name
    int column = 0;       // 1-based column of the first character (the opening quote)
};

struct ScriptLine {
    int number = 0;             // 1-based line number in the file
    std::vector<Token> tokens;  // empty for a blank or comment-only line
};

struct SyntaxError {
    int line = 0;
    int column = 0;
    std::string message;  // without position, e.g. "unterminated string"
};

// Splits one line (without its line ending) into tokens; nullopt on success.
std::optional<SyntaxError> TokenizeLine(std::string_view text, int lineNumber,
                                        std::vector<Token>& tokens);

// Splits a whole script into lines (LF or CRLF endings, an optional UTF-8 byte order mark).
// Every line is kept, blank ones with no tokens, so that numbers match the file. Stops at the
// first syntax error.
std::optional<SyntaxError> SplitScript(std::string_view text, std::vector<ScriptLine>& lines);

// A decimal number with an optional sign, or 0x-hexadecimal; nullopt when the text is not
// entirely such a number or it does not fit in 64 bits.
std::optional<std::int64_t> ParseInteger(std::string_view text);

// A real number in the C locale's notation ("1", "-2.5", "1e-300", "0x10" as an integer);
// nullopt when the text is not entirely a finite number. "inf" and "nan" are not numbers here.
std::optional<double> ParseReal(std::string_view text);

// The text as it would be written in a script: quoted with escapes.
std::string Quote(std::string_view text);

}  // namespace orv::script
