#include "platform/drivers/scripted/ScriptLexer.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace orv::script {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::optional<SyntaxError> TokenizeLine(std::string_view text, int lineNumber,
                                        std::vector<Token>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto error = [&](std::size_t at, std::string message) {
        return SyntaxError{lineNumber, int(at) + 1, std::move(message)};
    };
    while (i < n) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == '#') break;
        Token token;
        token.column = int(i) + 1;
        if (text[i] == '"') {
            const std::size_t open = i++;
            bool closed = false;
            while (i < n) {
                const char c = text[i];
                if (c == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (c == '\\') {
                    if (i + 1 >= n) return error(i, "unterminated string (a '\\' ends the line)");
                    const char e = text[i + 1];
                    switch (e) {
                        case '"': token.text += '"'; break;
                        case '\\': token.text += '\\'; break;
                        case 'n': token.text += '\n'; break;
                        case 't': token.text += '\t'; break;
                        default:
                            return error(i, std::string("unknown escape '\\") + e +
                                                "' (known: \\\" \\\\ \\n \\t)");
                    }
                    i += 2;
                    continue;
                }
                token.text += c;
                ++i;
            }
            if (!closed) return error(open, "unterminated string");
            if (i < n && !IsBlank(text[i]) && text[i] != '#')
                return error(i, "expected a blank after the closing quote");
            token.quoted = true;
        } else {
            while (i < n && !IsBlank(text[i]) && text[i] != '#') {
                if (text[i] == '"') return error(i, "unexpected '\"' inside a word");
                token.text += text[i++];
            }
        }
        tokens.push_back(std::move(token));
    }
    return std::nullopt;
}

std::optional<SyntaxError> SplitScript(std::string_view text, std::vector<ScriptLine>& lines) {
    lines.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        ScriptLine line;
        line.number = ++number;
        if (raw.find('\0') != std::string_view::npos)
            return SyntaxError{line.number, int(raw.find('\0')) + 1, "NUL character in the script"};
        if (auto err = TokenizeLine(raw, line.number, line.tokens)) return err;
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    if (text.empty()) return std::nullopt;
    bool negative = false;
    std::string_view digits = text;
    if (digits.front() == '-' || digits.front() == '+') {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    if (digits.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (negative) {
        if (magnitude > std::uint64_t(INT64_MAX) + 1) return std::nullopt;
        return std::int64_t(0 - magnitude);
    }
    // Hexadecimal may spell a 64-bit pattern (0xFFFFFFFFFFFFFFFF); decimal must fit.
    if (magnitude > std::uint64_t(INT64_MAX) && base == 10) return std::nullopt;
    return std::int64_t(magnitude);
}

std::optional<double> ParseReal(std::string_view text) {
    if (auto integer = ParseInteger(text); integer && text.find_first_of("xX") != std::string_view::npos)
        return double(*integer);
    if (text.empty()) return std::nullopt;
    std::string_view body = text;
    if (body.front() == '+') body.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (end != body.data() + body.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Underflow to a denormal or zero is a value; overflow is not.
        const std::string copy(body);
        errno = 0;
        value = std::strtod(copy.c_str(), nullptr);
        if (std::isinf(value)) return std::nullopt;
        return value;
    }
    if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    out += '"';
    return out;
}

}  // namespace orv::script
