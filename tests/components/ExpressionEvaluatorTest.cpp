// The expression evaluator, driven as its callers drive it: created through the class
// registry, reset, given a text, variables set, evaluated, result read.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluator.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

HRESULT Class(unsigned c) { return MakeExpressionError(c); }

// engine: "interpreter", "refused memory" or "machine code" (the default).
class Evaluator {
public:
    explicit Evaluator(const char* engine = "machine code") {
        RegisterOrvComponents();
        setenv("ORV_EXPR_ENGINE", engine, 1);
        const HRESULT hr = CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, CLSCTX_ALL, IID_IExpressionEvaluator,
                                            reinterpret_cast<void**>(&e_));
        unsetenv("ORV_EXPR_ENGINE");
        EXPECT_EQ(S_OK, hr);
    }
    ~Evaluator() {
        if (e_) e_->Release();
    }
    Evaluator(const Evaluator&) = delete;
    Evaluator& operator=(const Evaluator&) = delete;

    IExpressionEvaluator* operator->() const { return e_; }

    // Reset, set, evaluate: the first failure, or S_OK.
    HRESULT Run(LONG mode, const std::wstring& text, double r = 0, double s = 0, double t = 0) {
        HRESULT hr = e_->Reset(mode);
        if (FAILED(hr)) return hr;
        CComBSTR bstr(text.c_str());
        hr = e_->SetExpression(bstr);
        if (FAILED(hr)) return hr;
        e_->SetR(r);
        e_->SetS(s);
        e_->SetT(t);
        return e_->Evaluate();
    }

    double Value(LONG mode, const std::wstring& text, double r = 0, double s = 0, double t = 0) {
        const HRESULT hr = Run(mode, text, r, s, t);
        EXPECT_EQ(S_OK, hr) << Text(text) << ": " << Error();
        double v = kNaN;
        EXPECT_EQ(S_OK, e_->GetResult(&v));
        return v;
    }

    std::string Error() {
        WCHAR buf[256];
        LONG len = 0;
        e_->GetErrorText(buf, 256, &len);
        return Text(buf);
    }

    LONG ErrorColumn() {
        LONG c = -1;
        e_->GetErrorPosition(&c);
        return c;
    }

    std::wstring Listing() {
        WCHAR buf[2048];
        LONG len = 0;
        e_->GetProgramListing(buf, 2048, &len);
        return buf;
    }

    static std::string Text(const std::wstring& w) { return std::string(w.begin(), w.end()); }

private:
    IExpressionEvaluator* e_ = nullptr;
};

// ---- creation and the interface's shape ----

TEST(ExpressionEvaluatorComponent, IsCreatedByClassIdAndProgIdAndAnswersItsInterfacesOnly) {
    RegisterOrvComponents();
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(kExpressionEvaluatorProgId, &clsid));
    EXPECT_EQ(CLSID_ExpressionEvaluator, clsid);
    EXPECT_EQ(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}", orv::com::GuidToString(CLSID_ExpressionEvaluator));
    EXPECT_EQ(L"{8057A4FD-F7A7-11D4-952C-0001028487BE}", orv::com::GuidToString(IID_IExpressionEvaluator));

    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, 23, IID_IUnknown,
                                     reinterpret_cast<void**>(&unknown)));
    IExpressionEvaluator* e = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IExpressionEvaluator, reinterpret_cast<void**>(&e)));
    void* other = &clsid;
    EXPECT_EQ(E_NOINTERFACE, unknown->QueryInterface(CLSID_ExpressionEvaluator, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(1u, unknown->Release());
    EXPECT_EQ(0u, e->Release());
}

TEST(ExpressionEvaluatorComponent, SmartPointersKnowTheInterface) {
    RegisterOrvComponents();
    CComPtr<IExpressionEvaluator> e;
    ASSERT_EQ(S_OK, e.CoCreateInstance(CLSID_ExpressionEvaluator));
    ASSERT_EQ(S_OK, e->Reset(0));
    CComBSTR text(L"6*7");
    ASSERT_EQ(S_OK, e->SetExpression(text));
    double v = 0;
    ASSERT_EQ(S_OK, e->EvaluateAt(0, 0, 0, &v));
    EXPECT_EQ(42.0, v);
    CComPtr<IUnknown> unknown;
    EXPECT_EQ(S_OK, e.QueryInterface(&unknown));
}

// Under the Itanium C++ ABI a pointer to a virtual member holds 1 + the slot's byte offset.
template <typename F>
std::size_t SlotOf(F member) {
    struct Raw {
        std::uintptr_t ptr;
        std::ptrdiff_t adj;
    } raw;
    static_assert(sizeof(F) == sizeof(Raw));
    std::memcpy(&raw, &member, sizeof raw);
    return (raw.ptr - 1) / sizeof(void*);
}

TEST(ExpressionEvaluatorComponent, OperationsSitInTheSlotsCallersUse) {
    using I = IExpressionEvaluator;
    EXPECT_EQ(2u, SlotOf(&I::Release));
    EXPECT_EQ(8u, SlotOf(&I::SetExpression));
    EXPECT_EQ(11u, SlotOf(&I::Evaluate));
    EXPECT_EQ(12u, SlotOf(&I::GetResult));
    EXPECT_EQ(14u, SlotOf(&I::SetR));
    EXPECT_EQ(16u, SlotOf(&I::SetS));
    EXPECT_EQ(18u, SlotOf(&I::SetT));
    EXPECT_EQ(20u, SlotOf(&I::Reset));
    EXPECT_EQ(3u, SlotOf(&I::GetErrorText));
    EXPECT_EQ(7u, SlotOf(&I::GetExpression));
    EXPECT_EQ(9u, SlotOf(&I::EvaluateAt));
    EXPECT_EQ(19u, SlotOf(&I::GetMode));
}

// ---- the language ----

// Every behaviour below holds for both engines.
class ExpressionEvaluatorLanguage : public ::testing::TestWithParam<const char*> {};
class ExpressionEvaluatorErrors : public ::testing::TestWithParam<const char*> {};
class ExpressionEvaluatorCalls : public ::testing::TestWithParam<const char*> {};
INSTANTIATE_TEST_SUITE_P(MachineCode, ExpressionEvaluatorLanguage, ::testing::Values("machine code"));
INSTANTIATE_TEST_SUITE_P(Interpreter, ExpressionEvaluatorLanguage, ::testing::Values("interpreter"));
INSTANTIATE_TEST_SUITE_P(MachineCode, ExpressionEvaluatorErrors, ::testing::Values("machine code"));
INSTANTIATE_TEST_SUITE_P(Interpreter, ExpressionEvaluatorErrors, ::testing::Values("interpreter"));
INSTANTIATE_TEST_SUITE_P(MachineCode, ExpressionEvaluatorCalls, ::testing::Values("machine code"));
INSTANTIATE_TEST_SUITE_P(Interpreter, ExpressionEvaluatorCalls, ::testing::Values("interpreter"));
// Machine code that cannot get memory: SetExpression still succeeds, the interpreter evaluates.
INSTANTIATE_TEST_SUITE_P(RefusedMemory, ExpressionEvaluatorErrors, ::testing::Values("refused memory"));
INSTANTIATE_TEST_SUITE_P(RefusedMemory, ExpressionEvaluatorCalls, ::testing::Values("refused memory"));

struct ValueCase {
    const wchar_t* text;
    double expected;
};

TEST_P(ExpressionEvaluatorLanguage, PrecedenceAssociativityAndSigns) {
    const ValueCase cases[] = {
        {L"1+2*3", 7},      {L"(1+2)*3", 9},    {L"8-4-2", 2},       {L"8/4/2", 1},
        {L"2^3^2", 512},    {L"(2^3)^2", 64},   {L"-2^2", -4},       {L"(-2)^2", 4},
        {L"2^-1", 0.5},     {L"-2^-2", -0.25},  {L"2^-3^2", 1.0 / 512}, {L"2*-3", -6},
        {L"2--3", 5},       {L"--3", 3},        {L"+3", 3},          {L"-3*2+1", -5},
        {L"2*3^2", 18},     {L"-(2+3)*2", -10}, {L"1-2+3", 2},       {L"12/3*2", 8},
        {L" 1 +\t2 ", 3},   {L"((((7))))", 7},  {L"2^2^0", 2},       {L"3-+2", 1},
        {L"0.1+0.2", 0.1 + 0.2},
    };
    Evaluator e(GetParam());
    for (const auto& c : cases) EXPECT_EQ(c.expected, e.Value(0, c.text)) << Evaluator::Text(c.text);
}

TEST_P(ExpressionEvaluatorLanguage, NumbersInDecimalAndExponentNotation) {
    const ValueCase cases[] = {
        {L"0", 0},          {L"42", 42},          {L"3.25", 3.25},      {L".5", 0.5},
        {L"5.", 5},         {L"1,5", 1.5},        {L"1e3", 1000},       {L"1E3", 1000},
        {L"1.5E+2", 150},   {L"2.5e-3", 0.0025},  {L"1e-400", 0},       {L"1.7976931348623157e308", 1.7976931348623157e308},
        {L"007", 7},        {L"0.000000000000000000000000000001e30", 1},
        {L"4.9406564584124654e-324", 4.9406564584124654e-324},
        {L"123456789012345678901234567890", 123456789012345678901234567890.0},
        {L"1\u22122", -1},  {L"\u22122^2", -4},   {L"1e\u22122", 0.01},
    };
    Evaluator e(GetParam());
    for (const auto& c : cases) EXPECT_EQ(c.expected, e.Value(0, c.text)) << Evaluator::Text(c.text);
}

TEST_P(ExpressionEvaluatorLanguage, VariablesInModeOneAnyCase) {
    Evaluator e(GetParam());
    const double r = 1.25, s = -0.5, t = 3.0;
    EXPECT_EQ(r * s + t, e.Value(1, L"r*s+t", r, s, t));
    EXPECT_EQ(r * s + t, e.Value(1, L"R*S+T", r, s, t));
    EXPECT_EQ(t - r * s, e.Value(1, L"t-r*s", r, s, t));
    EXPECT_EQ(r * s - t, e.Value(1, L"r*s-t", r, s, t));
    EXPECT_EQ(100 * (1 - (r / 2) * (r / 2)), e.Value(1, L"100*(1-(r/2)^2)", r, s, t));
    EXPECT_EQ(std::sin(r) * std::cos(s) + std::exp(-t), e.Value(1, L"SIN(r)*COS(s)+EXP(-t)", r, s, t));
    EXPECT_EQ(std::sqrt(r * r + s * s) * std::log(1 + std::fabs(t)) + std::atan(s),
              e.Value(1, L"SQR(r^2+s^2)*LN(1+ABS(t))+ARCTAN(s)", r, s, t));
    EXPECT_EQ(-(r * 2), e.Value(1, L"-(r*2)", r, s, t));
    EXPECT_EQ(-(r * r), e.Value(1, L"-r^2", r, s, t));
    EXPECT_EQ(r / 3, e.Value(1, L"r/3", r, s, t));
    EXPECT_EQ(r / 0.25, e.Value(1, L"r/0.25", r, s, t));
    EXPECT_EQ(r, e.Value(1, L"r", r, s, t));
    EXPECT_EQ(r, e.Value(1, L"r^1", r, s, t));
    EXPECT_DOUBLE_EQ(std::pow(r, 7), e.Value(1, L"r^7", r, s, t));
    EXPECT_DOUBLE_EQ(std::pow(s, 16), e.Value(1, L"s^16", r, s, t));
    EXPECT_EQ(std::pow(r, 17.0), e.Value(1, L"r^17", r, s, t));
    EXPECT_EQ(std::pow(r, -2.0), e.Value(1, L"r^-2", r, s, t));
    EXPECT_EQ(std::pow(r, s), e.Value(1, L"r^s", r, s, t));
    EXPECT_EQ((r + s) * (s + t) + (r - t) * (t * r), e.Value(1, L"(r+s)*(s+t)+(r-t)*(t*r)", r, s, t));
    EXPECT_EQ(2 * std::numbers::pi * r, e.Value(1, L"2*PI()*r", r, s, t));
}

struct FunctionCase {
    const wchar_t* name;
    double argument;
    double (*reference)(double);
};

TEST_P(ExpressionEvaluatorLanguage, EveryPrimitiveInAnyCase) {
    const FunctionCase cases[] = {
        {L"ABS", -2.5, [](double x) { return std::fabs(x); }},
        {L"ARCCOS", 0.3, [](double x) { return std::acos(x); }},
        {L"ARCCOSH", 2.0, [](double x) { return std::acosh(x); }},
        {L"ARCSIN", -0.7, [](double x) { return std::asin(x); }},
        {L"ARCSINH", 1.5, [](double x) { return std::asinh(x); }},
        {L"ARCTAN", 4.0, [](double x) { return std::atan(x); }},
        {L"ARCTANH", 0.5, [](double x) { return std::atanh(x); }},
        {L"COS", 1.0, [](double x) { return std::cos(x); }},
        {L"COSH", 1.0, [](double x) { return std::cosh(x); }},
        {L"EXP", 2.0, [](double x) { return std::exp(x); }},
        {L"LN", 10.0, [](double x) { return std::log(x); }},
        {L"LOG", 1000.0, [](double x) { return std::log10(x); }},
        {L"SIN", 0.5, [](double x) { return std::sin(x); }},
        {L"SINH", 0.5, [](double x) { return std::sinh(x); }},
        {L"SQR", 2.0, [](double x) { return std::sqrt(x); }},
        {L"SQRT", 2.0, [](double x) { return std::sqrt(x); }},
        {L"TAN", 0.5, [](double x) { return std::tan(x); }},
        {L"TANH", 0.5, [](double x) { return std::tanh(x); }},
    };
    Evaluator e(GetParam());
    for (const auto& c : cases) {
        const std::wstring upper = c.name;
        std::wstring lower = upper;
        for (auto& ch : lower) ch = wchar_t(std::towlower(ch));
        const double expected = c.reference(c.argument);
        // As a constant (folded while compiling) and on a variable (at evaluation).
        EXPECT_EQ(expected, e.Value(0, upper + L"(" + std::to_wstring(c.argument) + L")")) << Evaluator::Text(upper);
        EXPECT_EQ(expected, e.Value(1, upper + L"(r)", c.argument)) << Evaluator::Text(upper);
        EXPECT_EQ(expected, e.Value(1, lower + L" ( s )", 0, c.argument)) << Evaluator::Text(lower);
    }
    EXPECT_EQ(std::numbers::pi, e.Value(0, L"PI()"));
    EXPECT_EQ(std::numbers::pi, e.Value(0, L"pi"));
    EXPECT_EQ(std::numbers::pi / 2, e.Value(0, L"Pi( )/2"));
    EXPECT_EQ(3.0, e.Value(0, L"LOG(1E3)"));
}

// Each expression with r gives the same value as the text with r's value written in, which
// exercises folding (all constant) against evaluation (all at run time).
TEST_P(ExpressionEvaluatorLanguage, FoldingWhileCompilingAgreesWithEvaluation) {
    const wchar_t* texts[] = {
        L"r*3+2", L"2+r*3", L"2-r*3", L"r*3-2", L"-(r*4)", L"r/4", L"r/3", L"r^2+r^3", L"(r+1)^5",
        L"SIN(r)*COS(r)", L"EXP(-r)", L"r^0.5", L"ABS(-r)/r", L"ARCTAN(r)*ARCSINH(r)", L"(r-1)^-3",
    };
    const double values[] = {0.75, 2.0, 3.5};
    Evaluator e(GetParam());
    for (const wchar_t* text : texts) {
        for (double r : values) {
            std::wstring constant;
            for (const wchar_t* p = text; *p; ++p) {
                if (*p == L'r') {
                    constant += L"(" + std::to_wstring(r) + L")";
                } else {
                    constant += *p;
                }
            }
            EXPECT_EQ(e.Value(0, constant), e.Value(1, text, r)) << Evaluator::Text(text) << " at r=" << r;
        }
    }
}

TEST_P(ExpressionEvaluatorLanguage, CompilesOnceIntoAShortProgram) {
    Evaluator e(GetParam());
    e.Value(1, L"r*s+t");
    EXPECT_EQ(L"$0 = r * s + t\nresult = $0\n", e.Listing());
    e.Value(1, L"100*(1-(r/2)^2)");
    EXPECT_EQ(L"$0 = r * 0.5\n$0 = 1 - $0 * $0\n$0 = 100 * $0\nresult = $0\n", e.Listing());
    e.Value(1, L"2*3+r");
    EXPECT_EQ(L"$0 = 6 + r\nresult = $0\n", e.Listing());
    e.Value(0, L"-2^2*(1+1)");
    EXPECT_EQ(L"result = -8\n", e.Listing());
    e.Value(1, L"-(r*3)");
    EXPECT_EQ(L"$0 = r * -3\nresult = $0\n", e.Listing());
    e.Value(1, L"s");
    EXPECT_EQ(L"result = s\n", e.Listing());
}

TEST_P(ExpressionEvaluatorLanguage, NestingIsBoundedAndLongFlatTextsWork) {
    Evaluator e(GetParam());
    std::wstring deep = std::wstring(200, L'(') + L"1" + std::wstring(200, L')');
    EXPECT_EQ(1.0, e.Value(0, deep));
    deep = std::wstring(201, L'(') + L"1" + std::wstring(201, L')');
    EXPECT_EQ(Class(kExprErrorSyntax), e.Run(0, deep));
    EXPECT_EQ(201, e.ErrorColumn());
    std::wstring powers = L"1";
    for (int i = 0; i < 1000; ++i) powers += L"^1";
    EXPECT_EQ(Class(kExprErrorSyntax), e.Run(0, powers));
    std::wstring functions;
    for (int i = 0; i < 100000; ++i) functions += L"SIN(";
    EXPECT_EQ(Class(kExprErrorSyntax), e.Run(0, functions));

    std::wstring sum = L"r";
    for (int i = 0; i < 20000; ++i) sum += L"+r*2-1";
    EXPECT_EQ(1.0 + 20000.0 * 1.0, e.Value(1, sum, 1.0));
    EXPECT_EQ(5.0, e.Value(0, std::wstring(100000, L'-') + L"5"));
}

TEST_P(ExpressionEvaluatorLanguage, LocaleSymbolsInNumbers) {
    Evaluator e(GetParam());
    // Default: either separator.
    EXPECT_EQ(0.5, e.Value(0, L"0,5"));
    EXPECT_EQ(0.5, e.Value(0, L"0.5"));
    // A locale with "," accepts only ",".
    EXPECT_EQ(S_OK, e->SetNumberSymbols(L',', 0, 0));
    EXPECT_EQ(2.5, e.Value(0, L"2,5"));
    EXPECT_EQ(Class(kExprErrorSyntax), e.Run(0, L"2.5"));
    EXPECT_EQ(2, e.ErrorColumn());
    // Reset keeps the symbols.
    EXPECT_EQ(Class(kExprErrorSyntax), e.Run(1, L"r*2.5"));
    // Own signs beside "-" and "+".
    EXPECT_EQ(S_OK, e->SetNumberSymbols(L'.', L'~', L'#'));
    EXPECT_EQ(-1.5, e.Value(0, L"~1.5"));
    EXPECT_EQ(3.0, e.Value(0, L"1#2"));
    EXPECT_EQ(-1.0, e.Value(0, L"1-2"));
    EXPECT_EQ(0.01, e.Value(0, L"1e~2"));
    // Symbols that would make texts ambiguous are refused and change nothing.
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(L'1', 0, 0));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(L'*', 0, 0));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(L'-', 0, 0));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(0, L'+', 0));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(0, L'~', L'~'));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(L'e', 0, 0));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(L' ', 0, 0));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(0, L',', 0));
    EXPECT_EQ(E_INVALIDARG, e->SetNumberSymbols(L'.', L'.', 0));
    EXPECT_EQ(S_OK, e->SetNumberSymbols(L'.', L',', 0));
    EXPECT_EQ(-4.0, e.Value(0, L"1,5"));  // "," is the minus sign of this caller
    EXPECT_EQ(S_OK, e->SetNumberSymbols(L'.', L'~', L'#'));
    EXPECT_EQ(-1.5, e.Value(0, L"~1.5"));
    EXPECT_EQ(S_OK, e->SetNumberSymbols(0, 0, 0));
    EXPECT_EQ(0.5, e.Value(0, L"0,5"));
}

// ---- errors ----

struct ErrorCase {
    LONG mode;
    const wchar_t* text;
    HRESULT expected;
    LONG column;  // -1: not checked
    const char* message;  // a part of the message
    double r = 1, s = 2, t = 2;
};

TEST_P(ExpressionEvaluatorErrors, EachClassWithAnExpressionThatProvokesIt) {
    const HRESULT syntax = Class(kExprErrorSyntax);
    const ErrorCase cases[] = {
        {0, L"", E_FAIL, 0, "empty"},
        {1, L"  \t ", E_FAIL, 0, "empty"},
        {0, L"1+", syntax, 3, "ends where a value was expected"},
        {0, L"(1+2", syntax, 5, "expected ')' to close the '(' of column 1"},
        {0, L"1+2)", syntax, 4, "')' without a matching '('"},
        {0, L"()", syntax, 2, "expected a value before ')'"},
        {0, L"*3", syntax, 1, "expected a value before '*'"},
        {0, L"2 3", syntax, 3, "expected an operator before '3'"},
        {0, L"2(3)", syntax, 2, "expected an operator before '('"},
        {0, L"FOO(1)", syntax, 1, "unknown name 'FOO'"},
        {0, L"1+E", syntax, 3, "unknown name 'E'"},
        {0, L"SIN 1", syntax, 5, "expected '(' after SIN"},
        {0, L"SIN()", syntax, 5, "SIN needs an argument"},
        {0, L"SIN(1", syntax, 6, "expected ')'"},
        {0, L"PI(1)", syntax, 4, "PI takes no argument"},
        {0, L"1e", syntax, 3, "digits of the exponent"},
        {0, L"1e+", syntax, 4, "digits of the exponent"},
        {0, L".", syntax, 1, "decimal separator needs digits"},
        {0, L"1.2.3", syntax, 4, "expected an operator"},
        {0, L"2#", syntax, 2, "unexpected character '#'"},
        {0, L"2\u00e9", syntax, 2, "U+00E9"},
        {0, L"1=2", syntax, 2, "unexpected character '='"},
        {0, L"r+1", syntax, 1, "'R' is not known here"},
        {0, L"2*T", syntax, 3, "'T' is not known here"},
        {1, L"rs", syntax, 1, "unknown name 'RS'"},
        {1, L"r(2)", syntax, 2, "expected an operator"},
        {0, L"1e400", Class(kExprErrorOverflow), 1, "too large"},
        {0, L"ARCCOS(2)", Class(kExprErrorCalculation), 1, "ARCCOS is not defined for 2"},
        {0, L"ARCSIN(-1.5)", Class(kExprErrorCalculation), 1, "ARCSIN"},
        {0, L"ARCCOSH(0.5)", Class(kExprErrorCalculation), 1, "ARCCOSH"},
        {0, L"ARCTANH(1)", Class(kExprErrorCalculation), 1, "ARCTANH"},
        {0, L"1+LN(0)", Class(kExprErrorCalculation), 3, "LN is not defined for 0"},
        {0, L"LN(-1)", Class(kExprErrorCalculation), 1, "LN"},
        {0, L"LOG(0)", Class(kExprErrorCalculation), 1, "LOG"},
        {0, L"SQR(-4)", Class(kExprErrorCalculation), 1, "SQR is not defined for -4"},
        {0, L"1/0", Class(kExprErrorDivisionByZero), 2, "division by zero"},
        {0, L"0/0", Class(kExprErrorDivisionByZero), 2, "division by zero"},
        {0, L"1/(2-2)", Class(kExprErrorDivisionByZero), 2, "division by zero"},
        {0, L"1e308*10", Class(kExprErrorOverflow), 6, "overflow"},
        {0, L"-1e308-1e308", Class(kExprErrorOverflow), 7, "overflow"},
        {0, L"1e300/1e-300", Class(kExprErrorOverflow), 6, "overflow"},
        {0, L"EXP(1000)", Class(kExprErrorOverflow), 1, "overflow in EXP"},
        {0, L"COSH(-800)", Class(kExprErrorOverflow), 1, "overflow in COSH"},
        {0, L"SINH(800)", Class(kExprErrorOverflow), 1, "overflow in SINH"},
        {0, L"10^400", Class(kExprErrorOverflow), 3, "overflow"},
        {0, L"(-8)^(1/3)", Class(kExprErrorPower), 5, "negative number -8 raised to the non-integer power"},
        {0, L"(-2)^0.5", Class(kExprErrorPower), 5, "power"},
        {0, L"0^-1", Class(kExprErrorPower), 2, "0 raised to the negative power -1"},
        {0, L"0^(-2.5)", Class(kExprErrorPower), 2, "0 raised"},
        {1, L"1+2", Class(kExprErrorNoVariable), 0, "none of r, s and t"},
        {1, L"PI()", Class(kExprErrorNoVariable), 0, "none of r, s and t"},
        {1, L"r/(s-t)", Class(kExprErrorDivisionByZero), 2, "division by zero"},
        {1, L"r^3", Class(kExprErrorOverflow), 2, "overflow", 1e200},
        {1, L"(r-1)^-1", Class(kExprErrorPower), 6, "0 raised"},
    };
    Evaluator e(GetParam());
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, e.Run(c.mode, c.text, c.r, c.s, c.t)) << Evaluator::Text(c.text);
        if (c.column >= 0) {
            EXPECT_EQ(c.column, e.ErrorColumn()) << Evaluator::Text(c.text);
        }
        EXPECT_NE(std::string::npos, e.Error().find(c.message)) << Evaluator::Text(c.text) << ": " << e.Error();
    }
}

TEST_P(ExpressionEvaluatorErrors, VariablesThatAreNotFiniteFailOnlyWhereUsed) {
    Evaluator e(GetParam());
    EXPECT_EQ(Class(kExprErrorNotANumber), e.Run(1, L"r+1", kNaN));
    EXPECT_NE(std::string::npos, e.Error().find("the value of r is not a number"));
    EXPECT_EQ(Class(kExprErrorNotANumber), e.Run(1, L"ARCTAN(s)", 0, kInf));
    EXPECT_NE(std::string::npos, e.Error().find("the value of s is infinite"));
    EXPECT_EQ(Class(kExprErrorNotANumber), e.Run(1, L"0*t", 0, 0, -kInf));
    EXPECT_EQ(3.0, e.Value(1, L"r+s", 1, 2, kNaN));
}

TEST_P(ExpressionEvaluatorErrors, ACompileFailureRepeatsAtEveryEvaluationUntilANewText) {
    Evaluator e(GetParam());
    ASSERT_EQ(S_OK, e->Reset(1));
    WCHAR bad[] = L"r+(";
    EXPECT_EQ(Class(kExprErrorSyntax), e->SetExpression(bad));
    EXPECT_EQ(Class(kExprErrorSyntax), e->Evaluate());
    EXPECT_EQ(4, e.ErrorColumn());
    double v = 7;
    EXPECT_EQ(Class(kExprErrorSyntax), e->GetResult(&v));
    EXPECT_EQ(7.0, v);
    LONG mask = -1;
    EXPECT_EQ(S_OK, e->GetVariablesUsed(&mask));
    EXPECT_EQ(0, mask);
    WCHAR good[] = L"r+1";
    EXPECT_EQ(S_OK, e->SetExpression(good));
    EXPECT_EQ("", e.Error());
    EXPECT_EQ(0, e.ErrorColumn());
    EXPECT_EQ(S_OK, e->Evaluate());
    EXPECT_EQ(S_OK, e->GetResult(&v));
    EXPECT_EQ(1.0, v);
}

// ---- the calling sequence ----

TEST_P(ExpressionEvaluatorCalls, ResetSetEvaluateReadAndReEvaluateWithNewVariables) {
    Evaluator e(GetParam());
    LONG mode = -1;
    EXPECT_EQ(S_OK, e->GetMode(&mode));
    EXPECT_EQ(0, mode);
    // Evaluating with nothing set is the empty expression.
    EXPECT_EQ(E_FAIL, e->Evaluate());

    ASSERT_EQ(S_OK, e->Reset(1));
    EXPECT_EQ(S_OK, e->GetMode(&mode));
    EXPECT_EQ(1, mode);
    WCHAR text[] = L"r*s+t";
    ASSERT_EQ(S_OK, e->SetExpression(text));
    LONG mask = 0;
    EXPECT_EQ(S_OK, e->GetVariablesUsed(&mask));
    EXPECT_EQ(kExprUsesR | kExprUsesS | kExprUsesT, mask);
    double v = 0;
    for (int i = 1; i <= 3; ++i) {
        e->SetR(i);
        e->SetS(10);
        e->SetT(0.5);
        ASSERT_EQ(S_OK, e->Evaluate());
        ASSERT_EQ(S_OK, e->GetResult(&v));
        EXPECT_EQ(i * 10 + 0.5, v);
    }
    double r = 0, s = 0, t = 0;
    e->GetR(&r);
    e->GetS(&s);
    e->GetT(&t);
    EXPECT_EQ(3.0, r);
    EXPECT_EQ(10.0, s);
    EXPECT_EQ(0.5, t);
    EXPECT_EQ(S_OK, e->EvaluateAt(2, 3, 4, &v));
    EXPECT_EQ(10.0, v);

    // A new text keeps the variables; Reset clears them.
    WCHAR other[] = L"r+s+t";
    ASSERT_EQ(S_OK, e->SetExpression(other));
    EXPECT_EQ(S_OK, e->GetResult(&v));  // evaluates first: nothing evaluated since the text
    EXPECT_EQ(9.0, v);
    ASSERT_EQ(S_OK, e->Reset(1));
    e->GetR(&r);
    EXPECT_EQ(0.0, r);
    EXPECT_EQ(E_FAIL, e->Evaluate());
    EXPECT_NE(std::string::npos, e.Error().find("empty"));

    // An evaluation failure is what GetResult reports until the next evaluation.
    WCHAR divide[] = L"1/r";
    ASSERT_EQ(S_OK, e->SetExpression(divide));
    EXPECT_EQ(Class(kExprErrorDivisionByZero), e->Evaluate());
    EXPECT_EQ(Class(kExprErrorDivisionByZero), e->GetResult(&v));
    e->SetR(4);
    EXPECT_EQ(S_OK, e->Evaluate());
    EXPECT_EQ(S_OK, e->GetResult(&v));
    EXPECT_EQ(0.25, v);

    EXPECT_EQ(E_INVALIDARG, e->Reset(2));
    EXPECT_EQ(E_INVALIDARG, e->Reset(-1));
    EXPECT_EQ(S_OK, e->GetMode(&mode));
    EXPECT_EQ(1, mode);
    EXPECT_EQ(E_POINTER, e->GetResult(nullptr));
    EXPECT_EQ(E_POINTER, e->EvaluateAt(1, 2, 3, nullptr));
    EXPECT_EQ(E_FAIL, e->SetExpression(nullptr));
}

TEST_P(ExpressionEvaluatorCalls, TextsComeBackWholeOrCut) {
    Evaluator e(GetParam());
    ASSERT_EQ(S_OK, e->Reset(1));
    WCHAR text[] = L"SIN(r) + 1";
    ASSERT_EQ(S_OK, e->SetExpression(text));
    WCHAR buf[32];
    LONG len = 0;
    EXPECT_EQ(S_OK, e->GetExpression(buf, 32, &len));
    EXPECT_EQ(std::wstring(L"SIN(r) + 1"), buf);
    EXPECT_EQ(10, len);
    EXPECT_EQ(S_FALSE, e->GetExpression(buf, 4, &len));
    EXPECT_EQ(std::wstring(L"SIN"), buf);
    EXPECT_EQ(10, len);
    EXPECT_EQ(S_FALSE, e->GetExpression(nullptr, 0, &len));
    EXPECT_EQ(10, len);
    EXPECT_EQ(E_POINTER, e->GetExpression(nullptr, 5, &len));
    EXPECT_EQ(E_INVALIDARG, e->GetExpression(buf, -1, &len));
}

// ---- the two engines ----

// Random texts from the grammar: the machine code and the interpreter agree on every status
// and on every bit of every value.
class RandomExpression {
public:
    explicit RandomExpression(unsigned seed) : rng_(seed) {}

    std::wstring Next() { return Node(0); }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::wstring Node(int depth) {
        static const wchar_t* const kNumbers[] = {L"0", L"1", L"2", L"0.5", L"3", L"1e300", L"7.25", L"1e-5", L"16"};
        static const wchar_t* const kFunctions[] = {L"ABS", L"ARCCOS", L"ARCCOSH", L"ARCSIN", L"ARCSINH", L"ARCTAN",
                                                    L"ARCTANH", L"COS", L"COSH", L"EXP", L"LN", L"LOG",
                                                    L"SIN", L"SINH", L"SQR", L"TAN", L"TANH"};
        static const wchar_t* const kOperators[] = {L"+", L"-", L"*", L"/", L"^"};
        const int choice = depth > 5 ? Pick(2) : Pick(8);
        switch (choice) {
            case 0: return kNumbers[Pick(9)];
            case 1: return std::wstring(1, L"rst"[Pick(3)]);
            case 2: return L"-" + Node(depth + 1);
            case 3: return L"(" + Node(depth + 1) + L")";
            case 4: return std::wstring(kFunctions[Pick(17)]) + L"(" + Node(depth + 1) + L")";
            case 5: return Node(depth + 1) + L"^" + std::to_wstring(Pick(19) - 2);
            default: return Node(depth + 1) + kOperators[Pick(5)] + Node(depth + 1);
        }
    }

    std::mt19937 rng_;
};

TEST(ExpressionEvaluatorEngines, AgreeOnRandomExpressions) {
    Evaluator machine("machine code");
    Evaluator interpreter("interpreter");
    RandomExpression random(12345);
    const double points[][3] = {{0.5, -0.25, 2}, {3, 1, 0}, {-1, 0.75, 1e-3}, {1e10, -2, 0.5}};
    int evaluated = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::wstring text = random.Next();
        for (const auto& p : points) {
            const HRESULT a = machine.Run(1, text, p[0], p[1], p[2]);
            const HRESULT b = interpreter.Run(1, text, p[0], p[1], p[2]);
            ASSERT_EQ(a, b) << Evaluator::Text(text);
            if (FAILED(a)) {
                EXPECT_EQ(machine.ErrorColumn(), interpreter.ErrorColumn()) << Evaluator::Text(text);
                continue;
            }
            double x = 0, y = 0;
            machine->GetResult(&x);
            interpreter->GetResult(&y);
            ASSERT_EQ(0, std::memcmp(&x, &y, sizeof x)) << Evaluator::Text(text) << ": " << x << " vs " << y;
            ++evaluated;
        }
    }
    EXPECT_GT(evaluated, 3000);  // enough of them are valid to mean something
}

}  // namespace
