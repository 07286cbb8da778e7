#pragma once
// EvaluatorClient: one instance of the expression evaluator component, created through the
// class registry, with the calling sequences the library's callers use. A component that
// cannot be created makes every call fail (E_NOINTERFACE), so callers need no special case.

#include "components/interfaces/IExpressionEvaluator.h"
#include "platform/com/ComPtr.h"

namespace DataModelDialogs {

class EvaluatorClient {
public:
    // The class context the library asks for: in-process, local or remote server.
    static constexpr DWORD kClassContext = 23;

    // Creates the component; IsAvailable() tells whether that worked.
    EvaluatorClient();
    bool IsAvailable() const { return evaluator_ != nullptr; }
    // The result of CoCreateInstance.
    HRESULT CreationResult() const { return created_; }

    // The locale's decimal separator and signs for the numbers of later expressions (0 keeps
    // the component's default).
    HRESULT SetNumberSymbols(wchar_t decimalSeparator, wchar_t negativeSign, wchar_t positiveSign);
    // Reset with `mode`, set the expression, evaluate: whether the text can be evaluated.
    HRESULT Check(const wchar_t* text, LONG mode = 0);
    // Check, then read the result.
    HRESULT Evaluate(const wchar_t* text, double* result, LONG mode = 0);

    IExpressionEvaluator* Get() const { return evaluator_; }

private:
    CComPtr<IExpressionEvaluator> evaluator_;
    HRESULT created_ = E_FAIL;
};

}  // namespace DataModelDialogs
