#include "components/expr/ExprProgram.h"

#include <cmath>
#include <cwchar>

#include "components/interfaces/IExpressionEvaluator.h"

namespace orv::expr {
namespace {

inline double IntPower(double x, unsigned n) {
    double result = 1.0;
    double base = x;
    for (;;) {
        if (n & 1u) result *= base;
        n >>= 1;
        if (!n) return result;
        base *= base;
    }
}

// The arithmetic of every operation, shared by Run (with a constant op, so that each case
// inlines to the bare operation) and by constant folding.
inline __attribute__((always_inline)) double Apply(Op op, double a, double b, double c, unsigned n) {
    switch (op) {
        case Op::End: return a;
        case Op::Add: return a + b;
        case Op::Sub: return a - b;
        case Op::Mul: return a * b;
        case Op::Div: return a / b;
        case Op::Neg: return -a;
        case Op::Pow: return std::pow(a, b);
        case Op::PowInt: return IntPower(a, n);
        case Op::MulAdd: return a * b + c;
        case Op::MulSub: return a * b - c;
        case Op::NegMulAdd: return c - a * b;
        case Op::Abs: return std::fabs(a);
        case Op::ArcCos: return std::acos(a);
        case Op::ArcCosh: return std::acosh(a);
        case Op::ArcSin: return std::asin(a);
        case Op::ArcSinh: return std::asinh(a);
        case Op::ArcTan: return std::atan(a);
        case Op::ArcTanh: return std::atanh(a);
        case Op::Cos: return std::cos(a);
        case Op::Cosh: return std::cosh(a);
        case Op::Exp: return std::exp(a);
        case Op::Ln: return std::log(a);
        case Op::Log: return std::log10(a);
        case Op::Sin: return std::sin(a);
        case Op::Sinh: return std::sinh(a);
        case Op::Sqrt: return std::sqrt(a);
        case Op::Tan: return std::tan(a);
        case Op::Tanh: return std::tanh(a);
    }
    return a;
}

// Operations that give a finite value for every finite argument: their results need no check.
constexpr bool AlwaysFinite(Op op) {
    return op == Op::Neg || op == Op::Abs || op == Op::Sin || op == Op::Cos || op == Op::ArcTan ||
           op == Op::ArcSinh || op == Op::Tanh;
}


// Operations whose every argument would be finite where the function is defined; an infinite
// result from them is a plain overflow.
bool OverflowsOnly(Op op) {
    switch (op) {
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Neg:
        case Op::PowInt:
        case Op::MulAdd:
        case Op::MulSub:
        case Op::NegMulAdd:
        case Op::Exp:
        case Op::Sinh:
        case Op::Cosh:
            return true;
        default:
            return false;
    }
}

}  // namespace

unsigned ClassifyFailure(Op op, double a, double b) {
    if (op == Op::Div) return b == 0.0 ? kExprErrorDivisionByZero : kExprErrorOverflow;
    if (op == Op::Pow) {
        // Undefined powers (negative base with a fraction, zero to a negative power) are
        // errors of the power function; a defined power that is too large is an overflow.
        if (std::isnan(std::pow(a, b)) || a == 0.0) return kExprErrorPower;
        return kExprErrorOverflow;
    }
    if (OverflowsOnly(op)) return kExprErrorOverflow;
    return kExprErrorCalculation;
}

bool Fold(Op op, double a, double b, double c, unsigned n, double& result) {
    const double x = Apply(op, a, b, c, n);
    if (!std::isfinite(x)) return false;
    result = x;
    return true;
}

// Runs the program over slots (sized as the program's slots, variables already stored) up to
// its Op::End. Every intermediate value is checked: the first one that is not finite stops the
// run and is classified by the operation that produced it. Dispatch is direct threading: each
// instruction jumps straight to the next one's code.
RunError Run(const Instr* ip, double* s) {
#define ORV_EXPR_OPS(X)                                                                           \
    X(Add) X(Sub) X(Mul) X(Div) X(Neg) X(Pow) X(PowInt) X(MulAdd) X(MulSub) X(NegMulAdd) X(Abs) \
    X(ArcCos) X(ArcCosh) X(ArcSin) X(ArcSinh) X(ArcTan) X(ArcTanh) X(Cos) X(Cosh) X(Exp) X(Ln)    \
    X(Log) X(Sin) X(Sinh) X(Sqrt) X(Tan) X(Tanh)
#define ORV_EXPR_LABEL(OP) &&op_##OP,
    static constexpr void* kLabels[] = {&&op_End, ORV_EXPR_OPS(ORV_EXPR_LABEL)};
    static_assert(sizeof kLabels / sizeof kLabels[0] == std::size_t(Op::Tanh) + 1);
#define ORV_EXPR_NEXT goto* kLabels[unsigned((++ip)->op)]
#define ORV_EXPR_CASE(OP)                                                        \
    op_##OP : {                                                                  \
        const double x = Apply(Op::OP, s[ip->a], s[ip->b], s[ip->c], ip->n);     \
        if (!AlwaysFinite(Op::OP) && !std::isfinite(x)) [[unlikely]] goto failed; \
        s[ip->dst] = x;                                                          \
        ORV_EXPR_NEXT;                                                           \
    }
    goto* kLabels[unsigned(ip->op)];
    ORV_EXPR_OPS(ORV_EXPR_CASE)
op_End:
    return {};
failed:
    return {ClassifyFailure(ip->op, s[ip->a], s[ip->b]), ip};
#undef ORV_EXPR_CASE
#undef ORV_EXPR_NEXT
#undef ORV_EXPR_LABEL
#undef ORV_EXPR_OPS
}

const wchar_t* OpName(Op op) {
    switch (op) {
        case Op::End: return L"end";
        case Op::Add: return L"+";
        case Op::Sub: return L"-";
        case Op::Mul: return L"*";
        case Op::Div: return L"/";
        case Op::Neg: return L"-";
        case Op::Pow:
        case Op::PowInt: return L"^";
        case Op::MulAdd: return L"*+";
        case Op::MulSub: return L"*-";
        case Op::NegMulAdd: return L"-*";
        case Op::Abs: return L"ABS";
        case Op::ArcCos: return L"ARCCOS";
        case Op::ArcCosh: return L"ARCCOSH";
        case Op::ArcSin: return L"ARCSIN";
        case Op::ArcSinh: return L"ARCSINH";
        case Op::ArcTan: return L"ARCTAN";
        case Op::ArcTanh: return L"ARCTANH";
        case Op::Cos: return L"COS";
        case Op::Cosh: return L"COSH";
        case Op::Exp: return L"EXP";
        case Op::Ln: return L"LN";
        case Op::Log: return L"LOG";
        case Op::Sin: return L"SIN";
        case Op::Sinh: return L"SINH";
        case Op::Sqrt: return L"SQR";
        case Op::Tan: return L"TAN";
        case Op::Tanh: return L"TANH";
    }
    return L"?";
}

bool IsFunction(Op op) { return op >= Op::Abs; }

std::wstring ListProgram(const Program& p) {
    const std::uint32_t firstTemp = p.firstTemp;
    auto name = [&](std::uint32_t slot) -> std::wstring {
        if (slot == kSlotR) return L"r";
        if (slot == kSlotS) return L"s";
        if (slot == kSlotT) return L"t";
        if (slot >= firstTemp) return L"$" + std::to_wstring(slot - firstTemp);
        wchar_t buf[40];
        std::swprintf(buf, 40, L"%.17g", slot < p.slots.size() ? p.slots[slot] : 0.0);
        return buf;
    };
    std::wstring out;
    for (const auto& in : p.code) {
        if (in.op == Op::End) break;
        out += name(in.dst) + L" = ";
        switch (in.op) {
            case Op::Neg: out += L"-" + name(in.a); break;
            case Op::PowInt: out += name(in.a) + L" ^ " + std::to_wstring(in.n); break;
            case Op::MulAdd: out += name(in.a) + L" * " + name(in.b) + L" + " + name(in.c); break;
            case Op::MulSub: out += name(in.a) + L" * " + name(in.b) + L" - " + name(in.c); break;
            case Op::NegMulAdd: out += name(in.c) + L" - " + name(in.a) + L" * " + name(in.b); break;
            default:
                if (IsFunction(in.op)) {
                    out += std::wstring(OpName(in.op)) + L"(" + name(in.a) + L")";
                } else {
                    out += name(in.a) + L" " + OpName(in.op) + L" " + name(in.b);
                }
        }
        out += L"\n";
    }
    out += L"result = " + name(p.resultSlot) + L"\n";
    return out;
}

}  // namespace orv::expr
