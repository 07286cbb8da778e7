#pragma once
// A second interface of the expression evaluator component, reached by QueryInterface from
// IExpressionEvaluator: the compiled expression evaluated at many points in one call, for loops
// over thousands of nodes where one interface call per point costs more than the arithmetic.
// Callers fall back to EvaluateAt when a component does not offer it.

#include "components/interfaces/IExpressionEvaluator.h"

inline constexpr IID IID_IExpressionBlockEvaluator{
    0x6F1C2A41, 0x3B7D, 0x4E0A, {0x9C, 0x55, 0x1D, 0x2E, 0x8A, 0x7B, 0x4C, 0x90}};

struct IExpressionBlockEvaluator : IUnknown {
    // 3: evaluates the expression at `count` points in order, exactly as EvaluateAt(r[i], s[i],
    // t[i]) would: the same values, the same failures with the same error text and position. A
    // null r, s or t gives that variable 0 at every point; a null results only checks. Stops at
    // the first failure and returns it; *evaluated receives the number of points evaluated
    // without failure (count after a success). r, s and t then hold the last point given.
    virtual HRESULT EvaluateBlock(LONG count, const double* r, const double* s, const double* t, double* results,
                                  LONG* evaluated) = 0;

protected:
    ~IExpressionBlockEvaluator() = default;
};

ORV_INTERFACE(IExpressionBlockEvaluator, IUnknown, IID_IExpressionBlockEvaluator);
