#include "components/ExpressionEvaluator.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace orv::components {
namespace {

HRESULT CopyText(const std::wstring& text, WCHAR* buffer, LONG capacity, LONG* length) {
    if (capacity < 0) return E_INVALIDARG;
    if (capacity > 0 && !buffer) return E_POINTER;
    if (length) *length = LONG(text.size());
    if (capacity == 0) return text.empty() ? S_OK : S_FALSE;
    const std::size_t n = std::min(text.size(), std::size_t(capacity - 1));
    std::wmemcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return n == text.size() ? S_OK : S_FALSE;
}

std::wstring Number(double value) {
    wchar_t buf[40];
    std::swprintf(buf, 40, L"%.15g", value);
    return buf;
}

bool UsableSymbol(WCHAR c) {
    if (c == 0) return true;
    if (c < 0x21 || c == 0x7F || c == 0xA0) return false;  // controls and blanks
    if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_') return false;
    return c != L'(' && c != L')' && c != L'*' && c != L'/' && c != L'^';
}

}  // namespace

ExpressionEvaluator::ExpressionEvaluator() : slots_(expr::kVariableSlots, 0.0) {
    const char* engine = std::getenv("ORV_EXPR_ENGINE");
    useJit_ = !(engine && std::strcmp(engine, "interpreter") == 0);
    // Machine code whose memory is always refused, as on a system that has none to give.
    if (engine && std::strcmp(engine, "refused memory") == 0) pages_ = [](std::size_t) -> void* { return nullptr; };
    Reset(0);
}

HRESULT ExpressionEvaluator::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IExpressionEvaluator) {
        *object = static_cast<IExpressionEvaluator*>(this);
        AddRef();
        return S_OK;
    }
    if (iid == IID_IExpressionBlockEvaluator) {
        *object = static_cast<IExpressionBlockEvaluator*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ExpressionEvaluator::AddRef() { return ++refs_; }

ULONG ExpressionEvaluator::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

HRESULT ExpressionEvaluator::FailWith(HRESULT hr, int column, std::wstring message) {
    errorText_ = std::move(message);
    errorColumn_ = column;
    hasError_ = true;
    return hr;
}

HRESULT ExpressionEvaluator::GetErrorText(WCHAR* buffer, LONG capacity, LONG* length) {
    return CopyText(errorText_, buffer, capacity, length);
}

HRESULT ExpressionEvaluator::GetErrorPosition(LONG* column) {
    if (!column) return E_POINTER;
    *column = errorColumn_;
    return S_OK;
}

HRESULT ExpressionEvaluator::GetVariablesUsed(LONG* mask) {
    if (!mask) return E_POINTER;
    *mask = compileStatus_ == S_OK ? LONG(program_.variableMask) : 0;
    return S_OK;
}

HRESULT ExpressionEvaluator::GetProgramListing(WCHAR* buffer, LONG capacity, LONG* length) {
    try {
        return CopyText(compileStatus_ == S_OK ? expr::ListProgram(program_) : std::wstring(), buffer, capacity, length);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ExpressionEvaluator::GetExpression(WCHAR* buffer, LONG capacity, LONG* length) {
    return CopyText(text_, buffer, capacity, length);
}

HRESULT ExpressionEvaluator::SetExpression(BSTR text) {
    try {
        text_ = text ? text : L"";
        evalStatus_ = kNotEvaluated;
        auto outcome = expr::Compile(text_, mode_, symbols_);
        jit_ = expr::JitCode();
        if (!outcome.ok) {
            program_ = expr::Program();
            compileStatus_ = outcome.empty ? E_FAIL : MakeExpressionError(outcome.errorClass);
            compileColumn_ = outcome.column;
            compileMessage_ = std::move(outcome.message);
            return FailWith(compileStatus_, compileColumn_, compileMessage_);
        }
        program_ = std::move(outcome.program);
        // A folded constant has no instructions: nothing worth translating.
        if (useJit_ && program_.code.size() > 1 && text_.size() <= expr::kMaxMachineCodeTextChars)
            jit_ = expr::JitCode::Compile(program_, pages_);
        // The variables keep their values; only Reset clears them.
        const double r = slots_[expr::kSlotR], s = slots_[expr::kSlotS], t = slots_[expr::kSlotT];
        slots_ = program_.slots;
        slots_[expr::kSlotR] = r;
        slots_[expr::kSlotS] = s;
        slots_[expr::kSlotT] = t;
        compileStatus_ = S_OK;
        return Succeed();
    } catch (const std::bad_alloc&) {
        program_ = expr::Program();
        jit_ = expr::JitCode();
        compileStatus_ = E_OUTOFMEMORY;
        compileColumn_ = 0;
        compileMessage_ = L"out of memory";
        return FailWith(E_OUTOFMEMORY, 0, compileMessage_);
    }
}

inline HRESULT ExpressionEvaluator::RunProgram(double* v) {
    if (jit_) {
        const unsigned failed = jit_.Run(v);
        if (failed) [[unlikely]] return MachineCodeFailed(failed);
    } else {
        const expr::RunError error = expr::Run(program_.code.data(), v);
        if (error.errorClass) [[unlikely]] return RunFailed(error);
    }
    result_ = v[program_.resultSlot];
    evalStatus_ = S_OK;
    return Succeed();
}

inline HRESULT ExpressionEvaluator::EvaluateNow() {
    if (compileStatus_ != S_OK) [[unlikely]] return CompileFailed();
    double* v = slots_.data();
    // x - x is NaN exactly when x is infinite or NaN; only the variables in use matter.
    if (!((v[0] - v[0]) + (v[1] - v[1]) + (v[2] - v[2]) == 0.0)) [[unlikely]] return EvaluateOddVariables();
    return RunProgram(v);
}

// Kept apart from Evaluate so that its fast path stays one straight line.
HRESULT ExpressionEvaluator::EvaluateOddVariables() {
    const HRESULT hr = CheckVariables();
    if (FAILED(hr)) return hr;
    return RunProgram(slots_.data());
}

HRESULT ExpressionEvaluator::MachineCodeFailed(unsigned failed) {
    const expr::Instr* at = &program_.code[failed - 1];
    return RunFailed({expr::ClassifyFailure(at->op, slots_[at->a], slots_[at->b]), at});
}

HRESULT ExpressionEvaluator::Evaluate() { return EvaluateNow(); }

HRESULT ExpressionEvaluator::EvaluateAt(double r, double s, double t, double* result) {
    if (!result) return E_POINTER;
    double* v = slots_.data();
    v[expr::kSlotR] = r;
    v[expr::kSlotS] = s;
    v[expr::kSlotT] = t;
    const HRESULT hr = EvaluateNow();
    if (SUCCEEDED(hr)) *result = result_;
    return hr;
}

HRESULT ExpressionEvaluator::EvaluateBlock(LONG count, const double* r, const double* s, const double* t, double* results,
                                           LONG* evaluated) {
    if (!evaluated) return E_POINTER;
    *evaluated = 0;
    if (count < 0) return E_INVALIDARG;
    if (count == 0) return S_OK;
    if (compileStatus_ != S_OK) [[unlikely]] return CompileFailed();
    double* const v = slots_.data();
    const std::uint32_t resultSlot = program_.resultSlot;
    // The variables as the per-point steps would leave them at point i.
    auto setVariables = [&](LONG i) {
        v[expr::kSlotR] = r ? r[i] : 0.0;
        v[expr::kSlotS] = s ? s[i] : 0.0;
        v[expr::kSlotT] = t ? t[i] : 0.0;
    };
    // The state a success leaves (status, result, no error) is set once after the last point.
    auto succeed = [&]() -> HRESULT {
        *evaluated = count;
        result_ = v[resultSlot];
        evalStatus_ = S_OK;
        return Succeed();
    };
    LONG from = 0;
    const unsigned mask = program_.variableMask;
    const bool arraysGiven = (r || !(mask & 1u)) && (s || !(mask & 2u)) && (t || !(mask & 4u));
    if (jit_ && arraysGiven) {
        // The whole block in one call into the machine code, which loops over the points itself.
        expr::JitCode::Block block{r, s, t, results, std::uint64_t(count), 0};
        const unsigned failed = jit_.RunBlock(v, block);
        const LONG at = failed ? LONG(block.index) : count - 1;
        setVariables(at);
        if (!failed) [[likely]] return succeed();
        *evaluated = at;
        if (failed != expr::JitCode::kVariableNotFinite) return MachineCodeFailed(failed);
        const HRESULT hr = CheckVariables();
        if (FAILED(hr)) return hr;
        from = at;  // the machine code's test of finiteness and CheckVariables' agree; kept safe
    }
    // The steps of EvaluateAt point after point, without a call through the interface each.
    auto run = [&](auto&& program) -> HRESULT {
        for (LONG i = from; i < count; ++i) {
            setVariables(i);
            HRESULT hr = S_OK;
            // x - x is NaN exactly when x is infinite or NaN; only the variables in use matter.
            if (!((v[0] - v[0]) + (v[1] - v[1]) + (v[2] - v[2]) == 0.0)) [[unlikely]]
                hr = CheckVariables();
            if (SUCCEEDED(hr)) [[likely]]
                hr = program();
            if (FAILED(hr)) [[unlikely]] {
                *evaluated = i;
                return hr;
            }
            if (results) results[i] = v[resultSlot];
        }
        return succeed();
    };
    if (jit_) {
        return run([&]() -> HRESULT {
            const unsigned failed = jit_.Run(v);
            return failed ? MachineCodeFailed(failed) : S_OK;
        });
    }
    const expr::Instr* const code = program_.code.data();
    return run([&]() -> HRESULT {
        const expr::RunError error = expr::Run(code, v);
        return error.errorClass ? RunFailed(error) : S_OK;
    });
}

HRESULT ExpressionEvaluator::SetNumberSymbols(WCHAR decimalSeparator, WCHAR negativeSign, WCHAR positiveSign) {
    if (!UsableSymbol(decimalSeparator) || !UsableSymbol(negativeSign) || !UsableSymbol(positiveSign)) {
        return E_INVALIDARG;
    }
    const bool isMinus = positiveSign == L'-' || positiveSign == 0x2212;
    const bool isPlus = negativeSign == L'+';
    const bool clash = decimalSeparator && (decimalSeparator == negativeSign || decimalSeparator == positiveSign ||
                                            decimalSeparator == L'+' || decimalSeparator == L'-' ||
                                            decimalSeparator == 0x2212);
    const bool sameSign = negativeSign && negativeSign == positiveSign;
    // Without a separator of its own, "." and "," both separate decimals.
    auto defaultSeparator = [&](WCHAR c) { return !decimalSeparator && (c == L'.' || c == L','); };
    if (isMinus || isPlus || clash || sameSign || defaultSeparator(negativeSign) || defaultSeparator(positiveSign)) {
        return E_INVALIDARG;
    }
    symbols_ = {decimalSeparator, negativeSign, positiveSign};
    return S_OK;
}

HRESULT ExpressionEvaluator::CompileFailed() {
    evalStatus_ = compileStatus_;
    return FailWith(compileStatus_, compileColumn_, compileMessage_);
}

HRESULT ExpressionEvaluator::CheckVariables() {
    static const wchar_t* const kNames[] = {L"r", L"s", L"t"};
    for (std::uint32_t i = 0; i < expr::kVariableSlots; ++i) {
        const double x = slots_[i];
        if ((program_.variableMask & (1u << i)) && !std::isfinite(x)) {
            evalStatus_ = MakeExpressionError(kExprErrorNotANumber);
            return FailWith(evalStatus_, 0,
                            std::wstring(L"the value of ") + kNames[i] +
                                (std::isnan(x) ? L" is not a number" : L" is infinite"));
        }
    }
    return S_OK;
}

HRESULT ExpressionEvaluator::RunFailed(const expr::RunError& error) {
    const expr::Instr& in = *error.at;
    const double a = slots_[in.a], b = slots_[in.b];
    std::wstring what;
    switch (error.errorClass) {
        case kExprErrorCalculation:
            what = std::wstring(expr::OpName(in.op)) + L" is not defined for " + Number(a);
            break;
        case kExprErrorDivisionByZero:
            what = L"division by zero";
            break;
        case kExprErrorPower:
            what = a == 0.0 ? L"0 raised to the negative power " + Number(b)
                            : L"the negative number " + Number(a) + L" raised to the non-integer power " + Number(b);
            break;
        default:
            what = expr::IsFunction(in.op) ? std::wstring(L"overflow in ") + expr::OpName(in.op)
                                           : std::wstring(L"overflow: the value exceeds the range of numbers");
            break;
    }
    evalStatus_ = MakeExpressionError(error.errorClass);
    return FailWith(evalStatus_, in.column, L"column " + std::to_wstring(in.column) + L": " + what);
}

HRESULT ExpressionEvaluator::GetResult(double* result) {
    if (!result) return E_POINTER;
    if (evalStatus_ == kNotEvaluated) [[unlikely]] Evaluate();
    if (SUCCEEDED(evalStatus_)) *result = result_;
    return evalStatus_;
}

HRESULT ExpressionEvaluator::GetR(double* value) {
    if (!value) return E_POINTER;
    *value = slots_[expr::kSlotR];
    return S_OK;
}

HRESULT ExpressionEvaluator::SetR(double value) {
    slots_[expr::kSlotR] = value;
    return S_OK;
}

HRESULT ExpressionEvaluator::GetS(double* value) {
    if (!value) return E_POINTER;
    *value = slots_[expr::kSlotS];
    return S_OK;
}

HRESULT ExpressionEvaluator::SetS(double value) {
    slots_[expr::kSlotS] = value;
    return S_OK;
}

HRESULT ExpressionEvaluator::GetT(double* value) {
    if (!value) return E_POINTER;
    *value = slots_[expr::kSlotT];
    return S_OK;
}

HRESULT ExpressionEvaluator::SetT(double value) {
    slots_[expr::kSlotT] = value;
    return S_OK;
}

HRESULT ExpressionEvaluator::GetMode(LONG* mode) {
    if (!mode) return E_POINTER;
    *mode = mode_;
    return S_OK;
}

HRESULT ExpressionEvaluator::Reset(LONG mode) {
    if (mode != 0 && mode != 1) return E_INVALIDARG;
    mode_ = mode;
    text_.clear();
    program_ = expr::Program();
    jit_ = expr::JitCode();
    slots_.assign(expr::kVariableSlots, 0.0);
    compileStatus_ = E_FAIL;
    compileColumn_ = 0;
    compileMessage_ = L"the expression is empty";
    evalStatus_ = kNotEvaluated;
    result_ = 0;
    return Succeed();
}

HRESULT CreateExpressionEvaluator(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    auto* evaluator = new (std::nothrow) ExpressionEvaluator();
    if (!evaluator) return E_OUTOFMEMORY;
    const HRESULT hr = evaluator->QueryInterface(iid, object);
    evaluator->Release();
    return hr;
}

}  // namespace orv::components
