// Fuzz target of the expression evaluator: random text must never crash or hang either
// engine, and both engines must agree on every status and every value; a block of points
// through the machine code's block entry must give what the interpreter gives point by point.
//
// Input: byte 0 selects the mode (bit 0) and the values of r, s, t (bits 1 to 7, from a small
// table with zero, signs, tiny, huge, NaN and infinity); the rest is the text, one character
// per byte (so the whole ASCII grammar is reachable), with 0xE2 standing for U+2212.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "components/Registration.h"
#include "components/interfaces/IExpressionEvaluator.h"
#include "components/interfaces/IExpressionEvaluatorBlock.h"
#include "platform/com/ClassRegistry.h"

namespace {

IExpressionEvaluator* Create(const char* engine) {
    setenv("ORV_EXPR_ENGINE", engine, 1);
    IExpressionEvaluator* e = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ExpressionEvaluator, nullptr, CLSCTX_ALL, IID_IExpressionEvaluator,
                                reinterpret_cast<void**>(&e)))) {
        std::abort();
    }
    unsetenv("ORV_EXPR_ENGINE");
    return e;
}

const double kValues[] = {0.0, 1.0, -1.0, 0.5, 2.0, -3.75, 1e-300, 1e300, -1e308, 4.9e-324, 100.0, 0.1,
                          std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 7.0};

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::wstring ErrorText(IExpressionEvaluator* e) {
    WCHAR message[512];
    LONG length = 0;
    e->GetErrorText(message, 512, &length);
    return length > 0 ? std::wstring(message) : std::wstring();
}

// Four points made of r, s and t in turn, evaluated as one block by `block` and one by one by
// `single`: the same values up to the first failure, which must be the same.
void CompareBlock(IExpressionEvaluator* blockOwner, IExpressionEvaluator* single, double r, double s, double t) {
    IExpressionBlockEvaluator* block = nullptr;
    if (FAILED(blockOwner->QueryInterface(IID_IExpressionBlockEvaluator, reinterpret_cast<void**>(&block)))) std::abort();
    const double rs[4] = {r, s, t, r}, ss[4] = {s, t, r, r}, ts[4] = {t, r, s, r};
    double values[4] = {0, 0, 0, 0};
    LONG evaluated = -1;
    const HRESULT hr = block->EvaluateBlock(4, rs, ss, ts, values, &evaluated);
    block->Release();
    if (evaluated < 0 || evaluated > 4 || (evaluated == 4) != (hr == S_OK)) std::abort();
    for (LONG k = 0; k < 4; ++k) {
        double value = 0;
        const HRESULT one = single->EvaluateAt(rs[k], ss[k], ts[k], &value);
        if (k < evaluated) {
            if (one != S_OK || !Same(value, values[k])) std::abort();
            continue;
        }
        if (one != hr || ErrorText(single) != ErrorText(blockOwner)) {
            std::fprintf(stderr, "block and point disagree at %d: 0x%08X vs 0x%08X\n", int(k), unsigned(hr), unsigned(one));
            std::abort();
        }
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static IExpressionEvaluator* machine = [] {
        RegisterOrvComponents();
        return Create("machine code");
    }();
    static IExpressionEvaluator* interpreter = Create("interpreter");
    if (size == 0) return 0;

    const unsigned control = data[0];
    const LONG mode = LONG(control & 1u);
    const double r = kValues[(control >> 1) & 15u], s = kValues[(control >> 3) & 15u], t = kValues[(control >> 5) & 7u];
    std::wstring text;
    text.reserve(size);
    for (std::size_t i = 1; i < size; ++i) text += data[i] == 0xE2 ? wchar_t(0x2212) : wchar_t(data[i]);

    HRESULT status[2];
    double value[2] = {0, 0};
    IExpressionEvaluator* engines[2] = {machine, interpreter};
    for (int k = 0; k < 2; ++k) {
        IExpressionEvaluator* e = engines[k];
        if (e->Reset(mode) != S_OK) std::abort();
        std::wstring copy = text;
        e->SetExpression(copy.data());
        e->SetR(r);
        e->SetS(s);
        e->SetT(t);
        status[k] = e->Evaluate();
        if (SUCCEEDED(status[k])) {
            if (e->GetResult(&value[k]) != S_OK || !std::isfinite(value[k])) std::abort();
        } else {
            // Every failure is an empty text or carries a class from 1 to 7, with a message.
            const unsigned cls = HRESULT_CODE(status[k]);
            if (status[k] != E_FAIL && (HRESULT_FACILITY(status[k]) != FACILITY_ITF || cls < 1 || cls > 7)) std::abort();
            WCHAR message[512];
            LONG length = 0;
            e->GetErrorText(message, 512, &length);
            if (length == 0) std::abort();
        }
    }
    if (status[0] != status[1] || (SUCCEEDED(status[0]) && !Same(value[0], value[1]))) {
        std::fprintf(stderr, "engines disagree: 0x%08X %.17g vs 0x%08X %.17g\n", unsigned(status[0]), value[0],
                     unsigned(status[1]), value[1]);
        std::abort();
    }
    CompareBlock(machine, interpreter, r, s, t);
    return 0;
}
