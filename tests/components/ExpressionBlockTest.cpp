// The evaluator's block interface: the same values and the same failures as EvaluateAt point by
// point, with both engines.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluatorBlock.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

CComPtr<IExpressionEvaluator> Create(const char* engine) {
    RegisterOrvComponents();
    setenv("ORV_EXPR_ENGINE", engine, 1);
    CComPtr<IExpressionEvaluator> e;
    const HRESULT hr =
        CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, CLSCTX_ALL, IID_IExpressionEvaluator, reinterpret_cast<void**>(&e));
    unsetenv("ORV_EXPR_ENGINE");
    EXPECT_EQ(hr, S_OK);
    return e;
}

CComPtr<IExpressionBlockEvaluator> BlockOf(IExpressionEvaluator* e) {
    CComPtr<IExpressionBlockEvaluator> block;
    EXPECT_EQ(e->QueryInterface(IID_IExpressionBlockEvaluator, reinterpret_cast<void**>(&block)), S_OK);
    return block;
}

HRESULT SetText(IExpressionEvaluator* e, const wchar_t* text) {
    e->Reset(1);
    CComBSTR bstr(text);
    return e->SetExpression(bstr);
}

std::wstring ErrorText(IExpressionEvaluator* e) {
    wchar_t buffer[256];
    LONG length = 0;
    e->GetErrorText(buffer, 256, &length);
    return buffer;
}

LONG ErrorColumn(IExpressionEvaluator* e) {
    LONG column = -1;
    e->GetErrorPosition(&column);
    return column;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class ExpressionBlockTest : public ::testing::TestWithParam<const char*> {};

INSTANTIATE_TEST_SUITE_P(Engines, ExpressionBlockTest, ::testing::Values("machine code", "interpreter"));

TEST_P(ExpressionBlockTest, ValuesAndFailuresAreThoseOfEvaluateAtPointByPoint) {
    const wchar_t* const expressions[] = {
        L"r*s+t",
        L"100*(1-(r/200)^2)",
        L"SIN(r)*COS(s)+EXP(-t/1000)",
        L"1/(r-3)",
        L"LN(s)+SQR(t)",
        L"r^s",
        L"ARCCOS(r/10)+t",
        L"EXP(r*100)",
        L"s",
        L"-r*s-t",
        L"t-r*s",
        L"ABS(r)-s*t",
        L"r^5+s^3-t^16",
        L"SQR(ABS(r))*ARCTAN(s)/t",
        L"TANH(r)+ARCSINH(s)+COSH(t*60)",
        L"ARCSIN(r/12)*ARCCOSH(ABS(s)+1)+ARCTANH(t/13)",
        L"LOG(ABS(r))+TAN(s)+SINH(t*70)",
        L"(-r)^(s/3)",
    };
    // Points that make one expression or another fail: a division by zero at r = 3, LN and SQR
    // of negative numbers, powers of negative numbers, overflow, not-a-number inputs.
    std::vector<double> r, s, t;
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-12, 12);
    for (int i = 0; i < 600; ++i) {
        r.push_back(i % 97 == 50 ? 3.0 : spread(random));
        s.push_back(i % 89 == 40 ? kNaN : spread(random));
        t.push_back(i % 151 == 100 ? kInf : spread(random));
    }
    CComPtr<IExpressionEvaluator> one = Create(GetParam());
    CComPtr<IExpressionEvaluator> many = Create(GetParam());
    CComPtr<IExpressionBlockEvaluator> block = BlockOf(many);
    ASSERT_TRUE(block);
    for (const wchar_t* text : expressions) {
        ASSERT_EQ(SetText(one, text), S_OK) << text;
        ASSERT_EQ(SetText(many, text), S_OK) << text;
        // From every start: a block runs until the first failure, then resumes after it.
        std::size_t start = 0;
        while (start < r.size()) {
            const LONG count = LONG(r.size() - start);
            std::vector<double> values(r.size() - start, -1.0);
            LONG evaluated = -1;
            const HRESULT hr = block->EvaluateBlock(count, &r[start], &s[start], &t[start], values.data(), &evaluated);
            ASSERT_GE(evaluated, 0) << text;
            ASSERT_LE(evaluated, count) << text;
            for (LONG k = 0; k < evaluated; ++k) {
                double value = 0;
                ASSERT_EQ(one->EvaluateAt(r[start + k], s[start + k], t[start + k], &value), S_OK) << text << " at " << start + k;
                ASSERT_TRUE(SameBits(value, values[std::size_t(k)])) << text << " at " << start + k;
            }
            if (evaluated == count) {
                EXPECT_EQ(hr, S_OK) << text;
                break;
            }
            const std::size_t at = start + std::size_t(evaluated);
            double value = 0;
            EXPECT_EQ(hr, one->EvaluateAt(r[at], s[at], t[at], &value)) << text << " at " << at;
            EXPECT_TRUE(FAILED(hr)) << text;
            EXPECT_EQ(ErrorText(many), ErrorText(one)) << text << " at " << at;
            EXPECT_EQ(ErrorColumn(many), ErrorColumn(one)) << text << " at " << at;
            double lastR = 0;
            many->GetR(&lastR);
            EXPECT_TRUE(SameBits(lastR, r[at])) << "the variables hold the failing point";
            start = at + 1;
        }
    }
}

// A long text: many constants and temporaries, so that slots lie beyond short offsets.
std::wstring LongText(bool withCalls) {
    std::wstring text = L"r";
    for (int k = 1; k <= 40; ++k) {
        const std::wstring n = std::to_wstring(k);
        text += L"+(" + n + L".5*r-s/" + n + L")*(t+" + n + L")";
        if (withCalls && k % 8 == 0) text += L"*SIN(s+" + n + L")";
    }
    return text;
}

TEST_P(ExpressionBlockTest, LongTextsAndEveryBlockLengthGiveTheSameBits) {
    std::vector<double> r, s, t;
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> spread(-3, 3);
    for (int i = 0; i < 70; ++i) {
        r.push_back(spread(random));
        s.push_back(spread(random));
        t.push_back(spread(random));
    }
    CComPtr<IExpressionEvaluator> one = Create(GetParam());
    CComPtr<IExpressionEvaluator> many = Create(GetParam());
    CComPtr<IExpressionBlockEvaluator> block = BlockOf(many);
    for (const bool withCalls : {false, true}) {
        const std::wstring text = LongText(withCalls);
        ASSERT_EQ(SetText(one, text.c_str()), S_OK);
        ASSERT_EQ(SetText(many, text.c_str()), S_OK);
        for (const LONG count : {1, 2, 3, 7, 70}) {
            std::vector<double> values(std::size_t(count) + 1, -1.0);
            LONG evaluated = 0;
            ASSERT_EQ(block->EvaluateBlock(count, r.data(), s.data(), t.data(), values.data(), &evaluated), S_OK);
            EXPECT_EQ(evaluated, count);
            for (LONG k = 0; k < count; ++k) {
                double value = 0;
                ASSERT_EQ(one->EvaluateAt(r[std::size_t(k)], s[std::size_t(k)], t[std::size_t(k)], &value), S_OK);
                ASSERT_TRUE(SameBits(value, values[std::size_t(k)])) << "calls " << withCalls << " at " << k;
            }
            EXPECT_EQ(values[std::size_t(count)], -1.0) << "nothing written past the block";
            double last = 0;
            EXPECT_EQ(many->GetResult(&last), S_OK);
            EXPECT_TRUE(SameBits(last, values[std::size_t(count - 1)]));
        }
    }
}

TEST_P(ExpressionBlockTest, VariablesNotUsedAreNeitherReadNorChecked) {
    CComPtr<IExpressionEvaluator> one = Create(GetParam());
    CComPtr<IExpressionEvaluator> e = Create(GetParam());
    CComPtr<IExpressionBlockEvaluator> block = BlockOf(e);
    ASSERT_EQ(SetText(e, L"r*2+SIN(r)"), S_OK);
    ASSERT_EQ(SetText(one, L"r*2+SIN(r)"), S_OK);
    const double r[] = {1, -2, 3.5};
    const double odd[] = {kNaN, kInf, -kInf};
    double values[3] = {0, 0, 0};
    LONG evaluated = 0;
    // s and t not given at all, then given but not finite: neither matters.
    ASSERT_EQ(block->EvaluateBlock(3, r, nullptr, nullptr, values, &evaluated), S_OK);
    EXPECT_EQ(evaluated, 3);
    double value = 0;
    ASSERT_EQ(one->EvaluateAt(-2, 0, 0, &value), S_OK);
    EXPECT_TRUE(SameBits(values[1], value));
    ASSERT_EQ(block->EvaluateBlock(3, r, odd, odd, values, &evaluated), S_OK);
    EXPECT_EQ(evaluated, 3);
    // The variables hold the last point, the unused ones too.
    double lastR = 0, lastS = 0, lastT = 0;
    e->GetR(&lastR);
    e->GetS(&lastS);
    e->GetT(&lastT);
    EXPECT_EQ(lastR, 3.5);
    EXPECT_EQ(lastS, -kInf);
    EXPECT_EQ(lastT, -kInf);
}

TEST_P(ExpressionBlockTest, AVariableThatIsNotFiniteFailsAtItsPointWithEvaluateAtsMessage) {
    CComPtr<IExpressionEvaluator> one = Create(GetParam());
    CComPtr<IExpressionEvaluator> e = Create(GetParam());
    CComPtr<IExpressionBlockEvaluator> block = BlockOf(e);
    ASSERT_EQ(SetText(e, L"r+s*t"), S_OK);
    ASSERT_EQ(SetText(one, L"r+s*t"), S_OK);
    struct Case {
        std::size_t at;
        int variable;
        double value;
    };
    // The first, a middle and the last point; r, s and t; NaN and both infinities.
    for (const Case c : {Case{0, 0, kNaN}, Case{3, 1, kInf}, Case{5, 2, -kInf}, Case{5, 0, kInf}, Case{2, 1, kNaN}}) {
        std::vector<double> v[3] = {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}};
        v[c.variable][c.at] = c.value;
        std::vector<double> values(6, -1.0);
        LONG evaluated = -1;
        const HRESULT hr = block->EvaluateBlock(6, v[0].data(), v[1].data(), v[2].data(), values.data(), &evaluated);
        double value = 0;
        EXPECT_EQ(hr, one->EvaluateAt(v[0][c.at], v[1][c.at], v[2][c.at], &value));
        EXPECT_EQ(hr, MakeExpressionError(kExprErrorNotANumber));
        EXPECT_EQ(evaluated, LONG(c.at));
        EXPECT_EQ(ErrorText(e), ErrorText(one));
        EXPECT_EQ(ErrorColumn(e), 0);
        for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(values[k], k < c.at ? double(k + 1) + double(k + 1) * double(k + 1) : -1.0) << k;
        // After a failure, the next block starts clean.
        ASSERT_EQ(block->EvaluateBlock(1, v[0].data(), v[1].data(), v[2].data(), values.data(), &evaluated), c.at == 0 ? hr : S_OK);
    }
}

TEST_P(ExpressionBlockTest, NullArraysAreZeroAndNullResultsOnlyCheck) {
    CComPtr<IExpressionEvaluator> e = Create(GetParam());
    CComPtr<IExpressionBlockEvaluator> block = BlockOf(e);
    ASSERT_EQ(SetText(e, L"r+10*s+100*t"), S_OK);
    const double r[] = {1, 2, 3};
    const double t[] = {4, 5, 6};
    double values[3];
    LONG evaluated = 0;
    ASSERT_EQ(block->EvaluateBlock(3, r, nullptr, t, values, &evaluated), S_OK);
    EXPECT_EQ(evaluated, 3);
    EXPECT_EQ(values[0], 401.0);
    EXPECT_EQ(values[2], 603.0);
    ASSERT_EQ(SetText(e, L"1/s"), S_OK);
    EXPECT_EQ(block->EvaluateBlock(3, r, nullptr, t, nullptr, &evaluated), MakeExpressionError(kExprErrorDivisionByZero));
    EXPECT_EQ(evaluated, 0);
}

TEST_P(ExpressionBlockTest, EdgesOfTheCall) {
    CComPtr<IExpressionEvaluator> e = Create(GetParam());
    CComPtr<IExpressionBlockEvaluator> block = BlockOf(e);
    const double r[] = {1};
    LONG evaluated = 9;
    // Nothing compiled yet: the empty text fails at the first point, as EvaluateAt does.
    EXPECT_EQ(block->EvaluateBlock(1, r, r, r, nullptr, &evaluated), E_FAIL);
    EXPECT_EQ(evaluated, 0);
    EXPECT_EQ(SetText(e, L"(r"), MakeExpressionError(kExprErrorSyntax));
    const LONG column = ErrorColumn(e);
    const std::wstring text = ErrorText(e);
    EXPECT_GT(column, 0);
    EXPECT_EQ(block->EvaluateBlock(1, r, r, r, nullptr, &evaluated), MakeExpressionError(kExprErrorSyntax));
    EXPECT_EQ(ErrorColumn(e), column);
    EXPECT_EQ(ErrorText(e), text);
    ASSERT_EQ(SetText(e, L"r"), S_OK);
    EXPECT_EQ(block->EvaluateBlock(0, nullptr, nullptr, nullptr, nullptr, &evaluated), S_OK);
    EXPECT_EQ(evaluated, 0);
    EXPECT_EQ(block->EvaluateBlock(-1, r, r, r, nullptr, &evaluated), E_INVALIDARG);
    EXPECT_EQ(block->EvaluateBlock(1, r, r, r, nullptr, nullptr), E_POINTER);
    // Both interfaces lead to the same object.
    CComPtr<IExpressionEvaluator> back;
    ASSERT_EQ(block->QueryInterface(IID_IExpressionEvaluator, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back.p, e.p);
    CComPtr<IUnknown> a, b;
    ASSERT_EQ(block->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a)), S_OK);
    ASSERT_EQ(e->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b)), S_OK);
    EXPECT_EQ(a.p, b.p);
}

}  // namespace
