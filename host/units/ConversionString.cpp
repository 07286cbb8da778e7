// Conversion strings of syntax 0: base-unit symbols with products, quotients and powers.
//
//   string  := [product]
//   product := power { ("*" | "·" | "/") power }        left to right: "N/m/m" is N/m²
//   power   := primary [ "^" ["-"] digits | superscript digits ]
//   primary := symbol | "1" | "(" product ")"
//   symbol  := "N" | "m" | "s" | "t" | "J" | "V" | "A" | "ohm" | "Ω" | "kg"
//
// Spaces may stand between tokens. "t" is a temperature difference: a conversion string
// scales, it never shifts by a temperature offset.

#include <cwctype>
#include <string>

#include "host/units/UnitSystem.h"

namespace UnitSys {

namespace {

constexpr int kMaxPower = 99;
constexpr int kMaxDepth = 32;

struct Symbol {
    const wchar_t* text;
    Quantity quantity;
};

const Symbol kSymbols[] = {
    {L"N", Quantity::Force},         {L"m", Quantity::Length},   {L"s", Quantity::Time},
    {L"t", Quantity::Temperature},   {L"J", Quantity::Energy},   {L"V", Quantity::Voltage},
    {L"A", Quantity::Current},       {L"ohm", Quantity::Resistance}, {L"\u03A9", Quantity::Resistance},
    {L"kg", Quantity::Mass},
};

int SuperscriptDigit(wchar_t c) {
    switch (c) {
    case L'\u2070': return 0;
    case L'\u00B9': return 1;
    case L'\u00B2': return 2;
    case L'\u00B3': return 3;
    case L'\u2074': return 4;
    case L'\u2075': return 5;
    case L'\u2076': return 6;
    case L'\u2077': return 7;
    case L'\u2078': return 8;
    case L'\u2079': return 9;
    default: return -1;
    }
}

bool IsSymbolChar(wchar_t c) { return (c < 0x80 && std::iswalpha(wint_t(c))) || c == L'\u03A9'; }

class Parser {
public:
    explicit Parser(std::wstring_view text) : text_(text) {}

    bool Parse(Dimension& result) {
        SkipSpaces();
        if (AtEnd()) return true;  // empty: dimensionless
        if (!Product(result, 0)) return false;
        SkipSpaces();
        if (!AtEnd()) {
            if (Peek() == L')') return Fail(L"unexpected ')'");
            return Fail(std::wstring(L"expected '*', '/' or the end, found '") + Peek() + L"'");
        }
        return true;
    }

    const std::wstring& Error() const { return error_; }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    wchar_t Peek() const { return AtEnd() ? L'\0' : text_[pos_]; }
    void SkipSpaces() {
        while (!AtEnd() && (text_[pos_] == L' ' || text_[pos_] == L'\t')) ++pos_;
    }
    bool Fail(const std::wstring& message) { return FailAt(pos_, message); }
    bool FailAt(std::size_t at, const std::wstring& message) {
        error_ = L"position " + std::to_wstring(at + 1) + L": " + message;
        return false;
    }

    bool Product(Dimension& result, int depth) {
        if (!Power(result, depth)) return false;
        for (;;) {
            SkipSpaces();
            const wchar_t op = Peek();
            if (op != L'*' && op != L'\u00B7' && op != L'/') return true;
            ++pos_;
            Dimension next;
            SkipSpaces();
            if (AtEnd()) return Fail(std::wstring(L"expected a unit symbol after '") + op + L"'");
            if (!Power(next, depth)) return false;
            const int sign = op == L'/' ? -1 : 1;
            for (int i = 0; i < kQuantityCount; ++i) result.exponents[std::size_t(i)] += sign * next.exponents[std::size_t(i)];
        }
    }

    bool Power(Dimension& result, int depth) {
        if (!Primary(result, depth)) return false;
        SkipSpaces();
        int power = 1;
        if (Peek() == L'^') {
            ++pos_;
            SkipSpaces();
            bool negative = false;
            if (Peek() == L'-') {
                negative = true;
                ++pos_;
            }
            const std::size_t start = pos_;
            int value = 0;
            while (!AtEnd() && Peek() >= L'0' && Peek() <= L'9') {
                value = value * 10 + (Peek() - L'0');
                ++pos_;
                if (value > kMaxPower) return FailAt(start, L"power out of range (at most 99)");
            }
            if (pos_ == start) return Fail(L"expected a whole number after '^'");
            power = negative ? -value : value;
        } else if (Peek() == L'\u207B' || SuperscriptDigit(Peek()) >= 0) {
            bool negative = false;
            if (Peek() == L'\u207B') {
                negative = true;
                ++pos_;
            }
            const std::size_t start = pos_;
            int value = 0;
            while (!AtEnd() && SuperscriptDigit(Peek()) >= 0) {
                value = value * 10 + SuperscriptDigit(Peek());
                ++pos_;
                if (value > kMaxPower) return FailAt(start, L"power out of range (at most 99)");
            }
            if (pos_ == start) return Fail(L"expected a superscript number after '\u207B'");
            power = negative ? -value : value;
        }
        if (power != 1)
            for (int& e : result.exponents) e *= power;
        return true;
    }

    bool Primary(Dimension& result, int depth) {
        SkipSpaces();
        if (AtEnd()) return Fail(L"expected a unit symbol");
        const wchar_t c = Peek();
        if (c == L'(') {
            if (depth >= kMaxDepth) return Fail(L"parentheses nested too deeply");
            const std::size_t open = pos_;
            ++pos_;
            SkipSpaces();
            if (Peek() == L')') return Fail(L"expected a unit symbol inside '()'");
            if (!Product(result, depth + 1)) return false;
            SkipSpaces();
            if (Peek() != L')') {
                if (AtEnd()) return Fail(L"expected ')' to close the '(' at position " + std::to_wstring(open + 1));
                return Fail(std::wstring(L"expected ')', found '") + Peek() + L"'");
            }
            ++pos_;
            return true;
        }
        if (c >= L'0' && c <= L'9') {
            const std::size_t start = pos_;
            while (!AtEnd() && Peek() >= L'0' && Peek() <= L'9') ++pos_;
            if (text_.substr(start, pos_ - start) != L"1")
                return FailAt(start, L"a number other than 1 is not a unit");
            return true;
        }
        if (IsSymbolChar(c)) {
            const std::size_t start = pos_;
            while (!AtEnd() && IsSymbolChar(Peek())) ++pos_;
            const std::wstring_view word = text_.substr(start, pos_ - start);
            for (const Symbol& s : kSymbols) {
                if (word == s.text) {
                    result[s.quantity] += 1;
                    return true;
                }
            }
            return FailAt(start, L"unknown unit symbol '" + std::wstring(word) + L"'");
        }
        if (c == L')') return Fail(L"unexpected ')'");
        return Fail(std::wstring(L"expected a unit symbol, found '") + c + L"'");
    }

    std::wstring_view text_;
    std::size_t pos_ = 0;
    std::wstring error_;
};

}  // namespace

bool ParseConversionString(const CString& text, OrvUnitsConversionStringSyntax syntax, Dimension& dimension,
                           std::wstring* error) {
    if (syntax != OrvUnitsConversionStringSyntaxBaseUnits) {
        if (error) *error = L"unknown conversion string syntax " + std::to_wstring(int(syntax));
        return false;
    }
    Parser parser(std::wstring_view(text.str()));
    Dimension result;
    if (!parser.Parse(result)) {
        if (error) *error = parser.Error();
        return false;
    }
    dimension = result;
    return true;
}

}  // namespace UnitSys
