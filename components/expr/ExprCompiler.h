#pragma once
// Compiles expression text into a Program in one pass: a recursive-descent parser that emits
// register instructions as it goes, folds constant sub-expressions and fuses a multiplication
// into the addition or subtraction that consumes it.

#include <string>
#include <string_view>

#include "components/expr/ExprProgram.h"

#pragma GCC visibility push(hidden)

namespace orv::expr {

// Nesting deeper than this (parentheses, function arguments, exponents) is a syntax error,
// so that no text can exhaust the stack.
inline constexpr int kMaxNesting = 200;

// Characters accepted in numbers besides the defaults; 0 means none given.
struct NumberSymbols {
    wchar_t decimalSeparator = 0;  // 0: "." and "," both accepted
    wchar_t negativeSign = 0;      // in addition to "-" and U+2212
    wchar_t positiveSign = 0;      // in addition to "+"
};

struct CompileOutcome {
    bool ok = false;
    bool empty = false;       // the text was empty or blank
    unsigned errorClass = 0;  // when !ok and !empty
    int column = 0;           // 1-based, 0 when the error has no position
    std::wstring message;     // "column 4: expected ')'"
    Program program;
};

// mode 0: plain arithmetic, r, s and t are unknown names; mode 1: a function of r, s and t
// that must use at least one of them.
CompileOutcome Compile(std::wstring_view text, int mode, const NumberSymbols& symbols);

}  // namespace orv::expr

#pragma GCC visibility pop
