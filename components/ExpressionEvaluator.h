#pragma once
// The expression evaluator component (class CLSID_ExpressionEvaluator). Callers outside
// components/ reach it only through the class registry and IExpressionEvaluator.

#include <atomic>
#include <string>
#include <vector>

#include "components/expr/ExprCompiler.h"
#include "components/expr/ExprJit.h"
#include "components/interfaces/IExpressionEvaluator.h"
#include "components/interfaces/IExpressionEvaluatorBlock.h"

namespace orv::components {

// Evaluation runs the program as machine code where that can be made, else interprets it;
// both give the same values and errors. ORV_EXPR_ENGINE=interpreter in the environment at
// creation selects the interpreter; ORV_EXPR_ENGINE="refused memory" (for tests) makes every
// allocation of machine code fail, which leaves each program to the interpreter. IExpressionBlockEvaluator evaluates many points in one call.
class __attribute__((visibility("hidden"))) ExpressionEvaluator final : public IExpressionEvaluator,
                                                                         public IExpressionBlockEvaluator {
public:
    ExpressionEvaluator();

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetErrorText(WCHAR* buffer, LONG capacity, LONG* length) override;
    HRESULT GetErrorPosition(LONG* column) override;
    HRESULT GetVariablesUsed(LONG* mask) override;
    HRESULT GetProgramListing(WCHAR* buffer, LONG capacity, LONG* length) override;
    HRESULT GetExpression(WCHAR* buffer, LONG capacity, LONG* length) override;
    HRESULT SetExpression(BSTR text) override;
    HRESULT EvaluateAt(double r, double s, double t, double* result) override;
    HRESULT SetNumberSymbols(WCHAR decimalSeparator, WCHAR negativeSign, WCHAR positiveSign) override;
    HRESULT Evaluate() override;
    HRESULT GetResult(double* result) override;
    HRESULT GetR(double* value) override;
    HRESULT SetR(double value) override;
    HRESULT GetS(double* value) override;
    HRESULT SetS(double value) override;
    HRESULT GetT(double* value) override;
    HRESULT SetT(double value) override;
    HRESULT GetMode(LONG* mode) override;
    HRESULT Reset(LONG mode) override;

    HRESULT EvaluateBlock(LONG count, const double* r, const double* s, const double* t, double* results,
                          LONG* evaluated) override;

private:
    ~ExpressionEvaluator() = default;

    // Not a status any operation returns: nothing evaluated since the text was set.
    static constexpr HRESULT kNotEvaluated = 0x7FFFFFFF;

    HRESULT EvaluateNow();
    HRESULT RunProgram(double* slots);
    [[gnu::cold]] HRESULT EvaluateOddVariables();
    [[gnu::cold]] HRESULT MachineCodeFailed(unsigned failed);
    [[gnu::cold]] HRESULT CompileFailed();
    [[gnu::cold]] HRESULT RunFailed(const expr::RunError& error);
    [[gnu::cold]] HRESULT CheckVariables();
    HRESULT Succeed() {
        if (hasError_) {
            errorText_.clear();
            errorColumn_ = 0;
            hasError_ = false;
        }
        return S_OK;
    }
    HRESULT FailWith(HRESULT hr, int column, std::wstring message);

    std::atomic<ULONG> refs_{1};
    LONG mode_ = 0;
    expr::NumberSymbols symbols_;
    std::wstring text_;
    expr::Program program_;
    expr::JitCode jit_;  // empty: the program is interpreted
    bool useJit_ = true;
    expr::JitCode::PageSource pages_ = nullptr;  // null: mmap
    std::vector<double> slots_;  // r, s, t, constants, temporaries
    HRESULT compileStatus_ = E_FAIL;  // S_OK once a text compiled
    int compileColumn_ = 0;
    std::wstring compileMessage_;
    HRESULT evalStatus_ = kNotEvaluated;
    double result_ = 0;
    bool hasError_ = false;
    std::wstring errorText_;
    int errorColumn_ = 0;
};

// The class factory entry that the class registry calls.
HRESULT CreateExpressionEvaluator(REFIID iid, void** object);

}  // namespace orv::components
