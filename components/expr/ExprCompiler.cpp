#include "components/expr/ExprCompiler.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <numbers>
#include <unordered_map>

#include "components/interfaces/IExpressionEvaluator.h"

namespace orv::expr {
namespace {

// Operand indices while compiling: variables are plain slots, constants and temporaries are
// tagged and receive their slots once their counts are known.
constexpr std::uint32_t kConstTag = 0x40000000u;
constexpr std::uint32_t kTempTag = 0x80000000u;
constexpr std::uint32_t kTagMask = 0xC0000000u;

constexpr wchar_t kMinusSign = 0x2212;

struct Failure {
    unsigned errorClass;
    int column;
    std::wstring text;
};

struct FunctionName {
    const wchar_t* name;
    Op op;
};

constexpr FunctionName kFunctions[] = {
    {L"ABS", Op::Abs},         {L"ARCCOS", Op::ArcCos}, {L"ARCCOSH", Op::ArcCosh}, {L"ARCSIN", Op::ArcSin},
    {L"ARCSINH", Op::ArcSinh}, {L"ARCTAN", Op::ArcTan}, {L"ARCTANH", Op::ArcTanh}, {L"COS", Op::Cos},
    {L"COSH", Op::Cosh},       {L"EXP", Op::Exp},       {L"LN", Op::Ln},           {L"LOG", Op::Log},
    {L"SIN", Op::Sin},         {L"SINH", Op::Sinh},     {L"SQR", Op::Sqrt},        {L"SQRT", Op::Sqrt},
    {L"TAN", Op::Tan},         {L"TANH", Op::Tanh},
};

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsNameStart(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_'; }
bool IsNameChar(wchar_t c) { return IsNameStart(c) || IsDigit(c); }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; }

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }

std::wstring Quote(wchar_t c) {
    if (c >= 0x20 && c < 0x7F) return std::wstring(L"'") + c + L"'";
    wchar_t buf[16];
    std::swprintf(buf, 16, L"U+%04X", unsigned(c));
    return buf;
}

class Compiler {
public:
    Compiler(std::wstring_view text, int mode, const NumberSymbols& symbols)
        : text_(text), mode_(mode), symbols_(symbols) {}

    CompileOutcome Run() {
        CompileOutcome out;
        SkipBlanks();
        if (AtEnd()) {
            out.empty = true;
            out.message = L"the expression is empty";
            return out;
        }
        try {
            Val v = ParseSum();
            SkipBlanks();
            if (!AtEnd()) {
                const wchar_t c = Peek();
                if (c == L')') Fail(kExprErrorSyntax, Column(), L"')' without a matching '('");
                if (IsDigit(c) || IsDecimalSeparator(c) || IsNameStart(c) || c == L'(') {
                    Fail(kExprErrorSyntax, Column(), L"expected an operator before " + Quote(c));
                }
                Fail(kExprErrorSyntax, Column(), L"unexpected character " + Quote(c));
            }
            if (mode_ == 1 && mask_ == 0) {
                Fail(kExprErrorNoVariable, 0, L"the expression uses none of r, s and t");
            }
            Finish(v);
        } catch (const Failure& f) {
            out.errorClass = f.errorClass;
            out.column = f.column;
            out.message = f.column > 0 ? L"column " + std::to_wstring(f.column) + L": " + f.text : f.text;
            return out;
        }
        out.ok = true;
        out.program = std::move(program_);
        return out;
    }

private:
    struct Val {
        enum Kind { kConst, kVar, kTemp } kind = kConst;
        double value = 0;          // kConst
        std::uint32_t index = 0;   // kVar: slot; kTemp: temporary number
        std::size_t producer = 0;  // kTemp: the instruction that wrote it
    };

    struct Nest {
        Compiler& c;
        Nest(Compiler& compiler, int column) : c(compiler) {
            if (++c.depth_ > kMaxNesting) {
                c.Fail(kExprErrorSyntax, column, L"the expression is nested too deeply");
            }
        }
        ~Nest() { --c.depth_; }
    };

    [[noreturn]] void Fail(unsigned cls, int column, std::wstring text) { throw Failure{cls, column, std::move(text)}; }

    bool AtEnd() const { return pos_ >= text_.size(); }
    wchar_t Peek() const { return AtEnd() ? 0 : text_[pos_]; }
    int Column() const { return int(pos_) + 1; }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    }
    bool IsMinus(wchar_t c) const {
        return c == L'-' || c == kMinusSign || (symbols_.negativeSign && c == symbols_.negativeSign);
    }
    bool IsPlus(wchar_t c) const { return c == L'+' || (symbols_.positiveSign && c == symbols_.positiveSign); }
    bool IsDecimalSeparator(wchar_t c) const {
        if (symbols_.decimalSeparator) return c == symbols_.decimalSeparator;
        return c == L'.' || c == L',';
    }

    // sum := product (("+" | "-") product)*
    Val ParseSum() {
        Val v = ParseProduct();
        for (;;) {
            SkipBlanks();
            const wchar_t c = Peek();
            Op op;
            if (IsPlus(c)) op = Op::Add;
            else if (IsMinus(c)) op = Op::Sub;
            else return v;
            const int column = Column();
            ++pos_;
            Val rhs = ParseProduct();
            v = Binary(op, v, rhs, column);
        }
    }

    // product := unary (("*" | "/") unary)*
    Val ParseProduct() {
        Val v = ParseUnary();
        for (;;) {
            SkipBlanks();
            const wchar_t c = Peek();
            Op op;
            if (c == L'*') op = Op::Mul;
            else if (c == L'/') op = Op::Div;
            else return v;
            const int column = Column();
            ++pos_;
            Val rhs = ParseUnary();
            v = Binary(op, v, rhs, column);
        }
    }

    // unary := ("+" | "-")* power. A sign binds more loosely than "^": -2^2 is -4.
    Val ParseUnary() {
        bool negate = false;
        int column = 0;
        for (;;) {
            SkipBlanks();
            const wchar_t c = Peek();
            if (IsPlus(c)) {
                ++pos_;
            } else if (IsMinus(c)) {
                if (!negate) column = Column();
                negate = !negate;
                ++pos_;
            } else {
                break;
            }
        }
        Val v = ParsePower();
        return negate ? Unary(Op::Neg, v, column) : v;
    }

    // power := primary ("^" unary)?, right-associative: 2^3^2 is 2^9.
    Val ParsePower() {
        Val base = ParsePrimary();
        SkipBlanks();
        if (Peek() != L'^') return base;
        const int column = Column();
        ++pos_;
        Nest nest(*this, column);
        Val exponent = ParseUnary();
        return Power(base, exponent, column);
    }

    Val ParsePrimary() {
        SkipBlanks();
        if (AtEnd()) Fail(kExprErrorSyntax, Column(), L"the expression ends where a value was expected");
        const wchar_t c = Peek();
        if (IsDigit(c) || IsDecimalSeparator(c)) return ParseNumber();
        if (c == L'(') {
            const int column = Column();
            Nest nest(*this, column);
            ++pos_;
            Val v = ParseSum();
            ExpectClose(column);
            return v;
        }
        if (IsNameStart(c)) return ParseName();
        if (c == L')') Fail(kExprErrorSyntax, Column(), L"expected a value before ')'");
        if (c == L'*' || c == L'/' || c == L'^') Fail(kExprErrorSyntax, Column(), L"expected a value before " + Quote(c));
        Fail(kExprErrorSyntax, Column(), L"unexpected character " + Quote(c));
    }

    void ExpectClose(int openColumn) {
        SkipBlanks();
        if (Peek() == L')') {
            ++pos_;
            return;
        }
        std::wstring text = L"expected ')' to close the '(' of column " + std::to_wstring(openColumn);
        if (!AtEnd()) text += L", found " + Quote(Peek());
        Fail(kExprErrorSyntax, Column(), text);
    }

    // number := digits [sep digits*] | sep digits, then optionally ("E" | "e") [sign] digits
    Val ParseNumber() {
        const int column = Column();
        std::string intPart, fracPart;
        while (IsDigit(Peek())) intPart += char(text_[pos_++]);
        if (IsDecimalSeparator(Peek())) {
            ++pos_;
            while (IsDigit(Peek())) fracPart += char(text_[pos_++]);
        }
        if (intPart.empty() && fracPart.empty()) Fail(kExprErrorSyntax, column, L"a decimal separator needs digits");
        long exponent = 0;
        if (Peek() == L'E' || Peek() == L'e') {
            ++pos_;
            bool negative = false;
            if (IsPlus(Peek())) {
                ++pos_;
            } else if (IsMinus(Peek())) {
                negative = true;
                ++pos_;
            }
            if (!IsDigit(Peek())) Fail(kExprErrorSyntax, Column(), L"expected the digits of the exponent");
            while (IsDigit(Peek())) {
                // Saturates far beyond the range of a double.
                exponent = std::min(exponent * 10 + long(text_[pos_++] - L'0'), 100000L);
            }
            if (negative) exponent = -exponent;
        }
        std::string ascii = intPart.empty() ? "0" : intPart;
        if (!fracPart.empty()) ascii += "." + fracPart;
        if (exponent != 0) ascii += "e" + std::to_string(exponent);
        double value = 0;
        const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            // Too small rounds to zero; too large is an overflow. Which one it is follows from
            // the decimal exponent of the first non-zero digit.
            long magnitude = exponent;
            const std::size_t i = intPart.find_first_not_of('0');
            if (i != std::string::npos) {
                magnitude += long(intPart.size() - i - 1);
            } else {
                magnitude -= long(fracPart.find_first_not_of('0') + 1);
            }
            if (magnitude > 0) Fail(kExprErrorOverflow, column, L"the number is too large");
            value = 0;
        } else if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size()) {
            Fail(kExprErrorSyntax, column, L"malformed number");
        }
        return Constant(value);
    }

    Val ParseName() {
        const int column = Column();
        const std::size_t start = pos_;
        while (IsNameChar(Peek())) ++pos_;
        std::wstring name(text_.substr(start, pos_ - start));
        for (auto& ch : name) ch = Upper(ch);

        if (name == L"R" || name == L"S" || name == L"T") {
            if (mode_ != 1) {
                Fail(kExprErrorSyntax, column, L"'" + name + L"' is not known here: plain arithmetic has no variables");
            }
            const std::uint32_t slot = name == L"R" ? kSlotR : name == L"S" ? kSlotS : kSlotT;
            mask_ |= 1u << slot;
            Val v;
            v.kind = Val::kVar;
            v.index = slot;
            return v;
        }
        if (name == L"PI") {
            SkipBlanks();
            if (Peek() == L'(') {
                ++pos_;
                SkipBlanks();
                if (Peek() != L')') Fail(kExprErrorSyntax, Column(), L"PI takes no argument");
                ++pos_;
            }
            return Constant(std::numbers::pi);
        }
        for (const auto& f : kFunctions) {
            if (name == f.name) {
                SkipBlanks();
                if (Peek() != L'(') Fail(kExprErrorSyntax, Column(), L"expected '(' after " + name);
                const int open = Column();
                Nest nest(*this, open);
                ++pos_;
                SkipBlanks();
                if (Peek() == L')') Fail(kExprErrorSyntax, Column(), name + L" needs an argument");
                Val arg = ParseSum();
                ExpectClose(open);
                return Unary(f.op, arg, column);
            }
        }
        Fail(kExprErrorSyntax, column, L"unknown name '" + name + L"'");
    }

    // --- code generation ---

    Val Constant(double value) {
        Val v;
        v.kind = Val::kConst;
        v.value = value;
        return v;
    }

    std::uint32_t Intern(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        auto [it, inserted] = constIndex_.try_emplace(bits, std::uint32_t(constants_.size()));
        if (inserted) constants_.push_back(value);
        return kConstTag | it->second;
    }

    std::uint32_t Operand(const Val& v) {
        switch (v.kind) {
            case Val::kConst: return Intern(v.value);
            case Val::kVar: return v.index;
            case Val::kTemp: return kTempTag | v.index;
        }
        return 0;
    }

    // Releases the temporaries among the operands (each once) and takes the slot for a result.
    // Temporaries live on a stack: the operands of an instruction are always its top entries.
    std::uint32_t TakeResultTemp(std::initializer_list<const Val*> operands) {
        std::uint32_t seen[3];
        int count = 0;
        for (const Val* v : operands) {
            if (v->kind != Val::kTemp) continue;
            if (std::find(seen, seen + count, v->index) == seen + count) seen[count++] = v->index;
        }
        tempsInUse_ -= std::uint32_t(count);
        const std::uint32_t dst = tempsInUse_++;
        maxTemps_ = std::max(maxTemps_, tempsInUse_);
        return dst;
    }

    Val Emit(Op op, const Val& a, const Val* b, unsigned n, int column) {
        Instr in;
        in.op = op;
        in.n = std::uint16_t(n);
        in.a = Operand(a);
        in.b = b ? Operand(*b) : 0;
        in.column = column;
        const std::uint32_t dst = b ? TakeResultTemp({&a, b}) : TakeResultTemp({&a});
        in.dst = kTempTag | dst;
        program_.code.push_back(in);
        return Temp(dst);
    }

    Val Temp(std::uint32_t index) {
        Val v;
        v.kind = Val::kTemp;
        v.index = index;
        v.producer = program_.code.size() - 1;
        return v;
    }

    bool IsLastMul(const Val& v) const {
        return v.kind == Val::kTemp && !program_.code.empty() && v.producer == program_.code.size() - 1 &&
               program_.code.back().op == Op::Mul;
    }

    Val Binary(Op op, const Val& a, const Val& b, int column) {
        double folded;
        if (a.kind == Val::kConst && b.kind == Val::kConst && Fold(op, a.value, b.value, 0, 0, folded)) {
            return Constant(folded);
        }
        if (op == Op::Add || op == Op::Sub) {
            // A product consumed by the next addition becomes one fused instruction (each
            // step still rounded on its own, as written).
            const bool right = IsLastMul(b);
            if (right || IsLastMul(a)) {
                const Val& other = right ? a : b;
                Op fused = op == Op::Add ? Op::MulAdd : right ? Op::NegMulAdd : Op::MulSub;
                const std::uint32_t c = Operand(other);
                const std::uint32_t dst = TakeResultTemp({&a, &b});
                Instr& in = program_.code.back();
                in.op = fused;
                in.c = c;
                in.dst = kTempTag | dst;
                in.column = column;
                return Temp(dst);
            }
        }
        if (op == Op::Div && b.kind == Val::kConst && b.value != 0) {
            // Dividing by a power of two is multiplying by its exact reciprocal.
            int e;
            const double reciprocal = 1.0 / b.value;
            if (std::fabs(std::frexp(b.value, &e)) == 0.5 && std::isfinite(reciprocal)) {
                Val r = Constant(reciprocal);
                return Emit(Op::Mul, a, &r, 0, column);
            }
        }
        return Emit(op, a, &b, 0, column);
    }

    Val Power(const Val& base, const Val& exponent, int column) {
        double folded;
        if (exponent.kind == Val::kConst) {
            // Small integer powers by multiplication, folded the same way when the base is
            // constant so that a constant and a variable of equal value agree.
            const double e = exponent.value;
            if (e == 1.0) return base;
            if (e == 2.0) return Binary(Op::Mul, base, base, column);
            if (e >= 3.0 && e <= 16.0 && e == std::floor(e)) {
                const unsigned n = unsigned(e);
                if (base.kind == Val::kConst && Fold(Op::PowInt, base.value, 0, 0, n, folded)) return Constant(folded);
                return Emit(Op::PowInt, base, nullptr, n, column);
            }
        }
        if (base.kind == Val::kConst && exponent.kind == Val::kConst &&
            Fold(Op::Pow, base.value, exponent.value, 0, 0, folded)) {
            return Constant(folded);
        }
        return Emit(Op::Pow, base, &exponent, 0, column);
    }

    Val Unary(Op op, const Val& a, int column) {
        double folded;
        if (a.kind == Val::kConst && Fold(op, a.value, 0, 0, 0, folded)) return Constant(folded);
        if (op == Op::Neg && IsLastMul(a)) {
            // -(x * c) is x * (-c).
            Instr& in = program_.code.back();
            for (std::uint32_t* operand : {&in.b, &in.a}) {
                if ((*operand & kTagMask) == kConstTag) {
                    *operand = Intern(-constants_[*operand & ~kTagMask]);
                    return a;
                }
            }
        }
        return Emit(op, a, nullptr, 0, column);
    }

    void Finish(const Val& result) {
        std::uint32_t resultSlot = Operand(result);
        const std::uint32_t constBase = kVariableSlots;
        const std::uint32_t tempBase = constBase + std::uint32_t(constants_.size());
        auto relocate = [&](std::uint32_t& i) {
            if ((i & kTagMask) == kConstTag) i = constBase + (i & ~kTagMask);
            else if ((i & kTagMask) == kTempTag) i = tempBase + (i & ~kTagMask);
        };
        for (auto& in : program_.code) {
            relocate(in.dst);
            relocate(in.a);
            relocate(in.b);
            relocate(in.c);
        }
        relocate(resultSlot);
        program_.slots.assign(kVariableSlots, 0.0);
        program_.slots.insert(program_.slots.end(), constants_.begin(), constants_.end());
        program_.slots.resize(program_.slots.size() + maxTemps_, 0.0);
        program_.firstTemp = tempBase;
        program_.resultSlot = resultSlot;
        program_.variableMask = mask_;
        Instr end;
        end.op = Op::End;
        program_.code.push_back(end);
    }

    std::wstring_view text_;
    std::size_t pos_ = 0;
    int mode_;
    NumberSymbols symbols_;
    int depth_ = 0;
    unsigned mask_ = 0;
    Program program_;
    std::vector<double> constants_;
    std::unordered_map<std::uint64_t, std::uint32_t> constIndex_;
    std::uint32_t tempsInUse_ = 0;
    std::uint32_t maxTemps_ = 0;
};

}  // namespace

CompileOutcome Compile(std::wstring_view text, int mode, const NumberSymbols& symbols) {
    return Compiler(text, mode, symbols).Run();
}

}  // namespace orv::expr
