#include "dialogs/controls/EvaluatorClient.h"

#include "platform/com/Bstr.h"

namespace DataModelDialogs {

EvaluatorClient::EvaluatorClient() {
    created_ = CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, kClassContext, IID_IExpressionEvaluator,
                                reinterpret_cast<void**>(&evaluator_));
    if (FAILED(created_)) evaluator_.Release();
}

HRESULT EvaluatorClient::SetNumberSymbols(wchar_t decimalSeparator, wchar_t negativeSign, wchar_t positiveSign) {
    if (!evaluator_) return E_NOINTERFACE;
    return evaluator_->SetNumberSymbols(decimalSeparator, negativeSign, positiveSign);
}

HRESULT EvaluatorClient::Check(const wchar_t* text, LONG mode) {
    if (!evaluator_) return E_NOINTERFACE;
    HRESULT hr = evaluator_->Reset(mode);
    if (FAILED(hr)) return hr;
    CComBSTR expression(text ? text : L"");
    hr = evaluator_->SetExpression(expression.m_str);
    if (FAILED(hr)) return hr;
    return evaluator_->Evaluate();
}

HRESULT EvaluatorClient::Evaluate(const wchar_t* text, double* result, LONG mode) {
    if (!result) return E_POINTER;
    HRESULT hr = Check(text, mode);
    if (FAILED(hr)) return hr;
    double value = 0;
    hr = evaluator_->GetResult(&value);
    if (FAILED(hr)) return hr;
    *result = value;
    return S_OK;
}

}  // namespace DataModelDialogs
