#pragma once
// The expression evaluator component: compiles a short arithmetic text once and evaluates it
// quickly, either as plain arithmetic (mode 0) or as a function of r, s and t (mode 1).
// Callers create it through the class registry:
//
//     IExpressionEvaluator* e = nullptr;
//     CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, CLSCTX_ALL, IID_IExpressionEvaluator,
//                      reinterpret_cast<void**>(&e));
//     e->Reset(1); e->SetExpression(text); e->SetR(1); ...; e->Evaluate(); e->GetResult(&v);
//     e->Release();
//
// The language is described in docs/expressions.md.

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

inline constexpr CLSID CLSID_ExpressionEvaluator{
    0x8057A4FE, 0xF7A7, 0x11D4, {0x95, 0x2C, 0x00, 0x01, 0x02, 0x84, 0x87, 0xBE}};
inline constexpr IID IID_IExpressionEvaluator{
    0x8057A4FD, 0xF7A7, 0x11D4, {0x95, 0x2C, 0x00, 0x01, 0x02, 0x84, 0x87, 0xBE}};
inline constexpr wchar_t kExpressionEvaluatorProgId[] = L"OrvCalc.ExpressionEvaluator";

// Error classes, carried in the low 16 bits of a failure HRESULT. An empty expression is
// E_FAIL instead.
enum ExpressionErrorClass : unsigned {
    kExprErrorSyntax = 1,          // syntax error or unknown name (also r, s, t in mode 0)
    kExprErrorCalculation = 2,     // a function called outside its domain (ARCCOS(2), LN(0))
    kExprErrorDivisionByZero = 3,  // x / 0
    kExprErrorOverflow = 4,        // a value beyond the range of a double
    kExprErrorNotANumber = 5,      // r, s or t set to NaN or infinity
    kExprErrorPower = 6,           // x ^ y undefined: negative base with fraction, 0 ^ negative
    kExprErrorNoVariable = 7,      // mode 1 and none of r, s, t in the text
};

constexpr HRESULT MakeExpressionError(unsigned errorClass) {
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, errorClass);
}

// Bits of GetVariablesUsed.
inline constexpr LONG kExprUsesR = 1;
inline constexpr LONG kExprUsesS = 2;
inline constexpr LONG kExprUsesT = 4;

// Operations in the order of the interface's slots (IUnknown holds slots 0 to 2). Text out
// parameters follow one rule: at most capacity - 1 characters and a terminating zero are
// copied into buffer (which may be null when capacity is 0), *length receives the full length,
// and the call returns S_FALSE instead of S_OK when the text was cut.
struct IExpressionEvaluator : IUnknown {
    // 3: the message of the last failed call ("column 4: expected ')'"); empty after a success.
    virtual HRESULT GetErrorText(WCHAR* buffer, LONG capacity, LONG* length) = 0;
    // 4: the 1-based column of the last failure in the expression text; 0 when it has none.
    virtual HRESULT GetErrorPosition(LONG* column) = 0;
    // 5: which of r, s, t the compiled expression uses (kExprUsesR | kExprUsesS | kExprUsesT).
    virtual HRESULT GetVariablesUsed(LONG* mask) = 0;
    // 6: a readable listing of the compiled program, one instruction a line.
    virtual HRESULT GetProgramListing(WCHAR* buffer, LONG capacity, LONG* length) = 0;
    // 7: the expression text as last given to SetExpression.
    virtual HRESULT GetExpression(WCHAR* buffer, LONG capacity, LONG* length) = 0;
    // 8: compiles the text (read up to its first NUL; null is empty) for the current mode. E_FAIL for an empty (or blank) text; a syntax
    // error (class 1), a number too large (class 4) or, in mode 1, a text without r, s and t
    // (class 7) fail here and again at every Evaluate.
    virtual HRESULT SetExpression(BSTR text) = 0;
    // 9: sets r, s and t, evaluates and returns the value: the fast path for loops over nodes.
    virtual HRESULT EvaluateAt(double r, double s, double t, double* result) = 0;
    // 10: the locale's decimal separator and signs accepted in numbers, for the next
    // SetExpression. 0 keeps the default: "." or "," as separator, "-" or U+2212 as minus, "+".
    // "-" and "+" are always accepted as signs. Kept across Reset.
    virtual HRESULT SetNumberSymbols(WCHAR decimalSeparator, WCHAR negativeSign, WCHAR positiveSign) = 0;
    // 11: evaluates the compiled expression with the current r, s and t.
    virtual HRESULT Evaluate() = 0;
    // 12: the value of the last Evaluate, or its failure; evaluates first if nothing has been
    // evaluated since the expression was set.
    virtual HRESULT GetResult(double* result) = 0;
    // 13 to 18: the variables; 0 after Reset.
    virtual HRESULT GetR(double* value) = 0;
    virtual HRESULT SetR(double value) = 0;
    virtual HRESULT GetS(double* value) = 0;
    virtual HRESULT SetS(double value) = 0;
    virtual HRESULT GetT(double* value) = 0;
    virtual HRESULT SetT(double value) = 0;
    // 19: the mode given to the last Reset (0 after creation).
    virtual HRESULT GetMode(LONG* mode) = 0;
    // 20: forgets the expression, sets r, s and t to 0 and selects the mode: 0 plain arithmetic,
    // 1 a function of r, s and t. Any other mode is E_INVALIDARG.
    virtual HRESULT Reset(LONG mode) = 0;

protected:
    ~IExpressionEvaluator() = default;
};

ORV_INTERFACE(IExpressionEvaluator, IUnknown, IID_IExpressionEvaluator);
