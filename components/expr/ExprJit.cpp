#include "components/expr/ExprJit.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#if defined(__x86_64__) && defined(__linux__)
#include <math.h>
#include <sys/mman.h>
#define ORV_EXPR_JIT 1
#endif

namespace orv::expr {

JitCode::~JitCode() {
#ifdef ORV_EXPR_JIT
    if (memory_) munmap(memory_, size_);
#endif
}

JitCode::JitCode(JitCode&& other) noexcept
    : entry_(std::exchange(other.entry_, nullptr)),
      memory_(std::exchange(other.memory_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

JitCode& JitCode::operator=(JitCode&& other) noexcept {
    if (this != &other) {
        JitCode old(std::move(*this));
        entry_ = std::exchange(other.entry_, nullptr);
        memory_ = std::exchange(other.memory_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

#ifndef ORV_EXPR_JIT

JitCode JitCode::Compile(const Program&) { return {}; }

#else

namespace {

// The generated function keeps the slot array in a base register and, in another, the bound at
// or above which a value shifted left by one is not finite (all exponent bits set); xmm0 holds
// the value of the "kept" slot. A program that calls functions uses the callee-saved rbx and
// r12 and aligns the stack; one without calls uses rdi and rdx as they come and needs no frame.
constexpr std::uint64_t kNonFiniteBound = 0xFFE0000000000000ull;
constexpr int kXmm0 = 0, kXmm1 = 1, kXmm2 = 2, kXmm3 = 3;

bool IsCall(Op op) {
    switch (op) {
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::Neg:
        case Op::PowInt:
        case Op::MulAdd:
        case Op::MulSub:
        case Op::NegMulAdd:
        case Op::Abs:
        case Op::Sqrt:
        case Op::End:
            return false;
        default:
            return true;
    }
}

using Function1 = double (*)(double);

Function1 FunctionOf(Op op) {
    switch (op) {
        case Op::ArcCos: return &::acos;
        case Op::ArcCosh: return &::acosh;
        case Op::ArcSin: return &::asin;
        case Op::ArcSinh: return &::asinh;
        case Op::ArcTan: return &::atan;
        case Op::ArcTanh: return &::atanh;
        case Op::Cos: return &::cos;
        case Op::Cosh: return &::cosh;
        case Op::Exp: return &::exp;
        case Op::Ln: return &::log;
        case Op::Log: return &::log10;
        case Op::Sin: return &::sin;
        case Op::Sinh: return &::sinh;
        case Op::Tan: return &::tan;
        case Op::Tanh: return &::tanh;
        default: return nullptr;
    }
}

int ReadCount(Op op) {
    switch (op) {
        case Op::End: return 0;
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::Pow: return 2;
        case Op::MulAdd:
        case Op::MulSub:
        case Op::NegMulAdd: return 3;
        default: return 1;
    }
}

bool NeedsCheck(Op op) {
    return !(op == Op::Neg || op == Op::Abs || op == Op::Sin || op == Op::Cos || op == Op::ArcTan ||
             op == Op::ArcSinh || op == Op::Tanh);
}

class Emitter {
public:
    std::vector<std::uint8_t> code;

    void Bytes(std::initializer_list<std::uint8_t> bytes) { code.insert(code.end(), bytes); }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) code.push_back(std::uint8_t(v >> (8 * i)));
    }
    void U64(std::uint64_t v) {
        for (int i = 0; i < 8; ++i) code.push_back(std::uint8_t(v >> (8 * i)));
    }

    int base = 3;  // rbx, or 7: rdi

    // prefix 0F opcode with xmm reg and the operand [base + slot * 8].
    void SseMem(std::uint8_t prefix, std::uint8_t opcode, int reg, std::uint32_t slot) {
        const std::uint32_t offset = slot * 8;
        if (offset < 128) {
            Bytes({prefix, 0x0F, opcode, std::uint8_t(0x40 | (reg << 3) | base), std::uint8_t(offset)});
        } else {
            Bytes({prefix, 0x0F, opcode, std::uint8_t(0x80 | (reg << 3) | base)});
            U32(offset);
        }
    }
    void SseReg(std::uint8_t prefix, std::uint8_t opcode, int reg, int rm) {
        Bytes({prefix, 0x0F, opcode, std::uint8_t(0xC0 | (reg << 3) | rm)});
    }
    void MovapdReg(int dst, int src) {
        if (dst != src) SseReg(0x66, 0x28, dst, src);
    }
    void LoadSlot(int reg, std::uint32_t slot) { SseMem(0xF2, 0x10, reg, slot); }
    void StoreSlot(int reg, std::uint32_t slot) { SseMem(0xF2, 0x11, reg, slot); }
    void MovqRaxFromXmm(int reg) { Bytes({0x66, 0x48, 0x0F, 0x7E, std::uint8_t(0xC0 | (reg << 3))}); }
    void MovqXmmFromRax(int reg) { Bytes({0x66, 0x48, 0x0F, 0x6E, std::uint8_t(0xC0 | (reg << 3))}); }

    // jae rel32; returns the position of rel32 for patching.
    std::size_t JaeForward() {
        Bytes({0x0F, 0x83});
        const std::size_t at = code.size();
        U32(0);
        return at;
    }
    std::size_t JmpForward() {
        Bytes({0xE9});
        const std::size_t at = code.size();
        U32(0);
        return at;
    }
    void Patch(std::size_t at, std::size_t target) {
        const std::int32_t rel = std::int32_t(std::int64_t(target) - std::int64_t(at + 4));
        std::memcpy(&code[at], &rel, 4);
    }
};

struct FailStub {
    std::size_t jump;      // rel32 to patch
    std::uint32_t index;   // instruction index
    bool storeKept;        // xmm0 holds a slot value not yet written back
    std::uint32_t keptSlot;
};

class Generator {
public:
    explicit Generator(const Program& p) : p_(p) {}

    std::vector<std::uint8_t> Generate() {
        const auto& code = p_.code;
        std::size_t n = 0;
        while (n < code.size() && code[n].op != Op::End) ++n;
        PlanStores(n);
        framed_ = false;
        for (std::size_t i = 0; i < n; ++i) framed_ = framed_ || IsCall(code[i].op);

        if (framed_) {
            // push rbx; push r12; sub rsp, 8 (calls need a 16-byte aligned stack); mov rbx, rdi;
            // mov r12, bound
            e_.Bytes({0x53, 0x41, 0x54, 0x48, 0x83, 0xEC, 0x08, 0x48, 0x89, 0xFB, 0x49, 0xBC});
            e_.base = 3;
        } else {
            e_.Bytes({0x48, 0xBA});  // mov rdx, bound
            e_.base = 7;
        }
        e_.U64(kNonFiniteBound);
        for (std::size_t i = 0; i < n; ++i) Instruction(std::uint32_t(i), code[i]);
        if (keptValid_ && dirty_) e_.StoreSlot(kXmm0, kept_);
        e_.Bytes({0x31, 0xC0});  // xor eax, eax
        const std::size_t exit = e_.code.size();
        if (framed_) e_.Bytes({0x48, 0x83, 0xC4, 0x08, 0x41, 0x5C, 0x5B});  // add rsp, 8; pop r12; pop rbx
        e_.Bytes({0xC3});  // ret
        for (const auto& stub : stubs_) {
            e_.Patch(stub.jump, e_.code.size());
            if (stub.storeKept) e_.StoreSlot(kXmm0, stub.keptSlot);
            e_.Bytes({0xB8});
            e_.U32(stub.index + 1);
            e_.Patch(e_.JmpForward(), exit);
        }
        return std::move(e_.code);
    }

private:
    // An instruction's result need not be written to its slot when only the next instruction
    // reads it: it is handed over in xmm0. Found by one backward pass of liveness.
    void PlanStores(std::size_t n) {
        skipStore_.assign(n, false);
        std::vector<bool> live(p_.slots.size(), false);
        if (p_.resultSlot < live.size()) live[p_.resultSlot] = true;
        for (std::size_t j = n; j-- > 0;) {
            const Instr& in = p_.code[j];
            if (j > 0) {
                const std::uint32_t prev = p_.code[j - 1].dst;
                skipStore_[j - 1] = Reads(in, prev) && !live[prev];
            }
            live[in.dst] = false;
            const int reads = ReadCount(in.op);
            if (reads >= 1) live[in.a] = true;
            if (reads >= 2) live[in.b] = true;
            if (reads >= 3) live[in.c] = true;
        }
    }

    static bool Reads(const Instr& in, std::uint32_t slot) {
        const int reads = ReadCount(in.op);
        return (reads >= 1 && in.a == slot) || (reads >= 2 && in.b == slot) || (reads >= 3 && in.c == slot);
    }

    bool IsKept(std::uint32_t slot) const { return keptValid_ && kept_ == slot; }

    // reg := slot's value (from xmm0 when it is kept there).
    void Load(int reg, std::uint32_t slot) {
        if (IsKept(slot)) {
            e_.MovapdReg(reg, kXmm0);
        } else {
            e_.LoadSlot(reg, slot);
        }
    }

    // reg op= slot's value.
    void Arith(std::uint8_t opcode, int reg, std::uint32_t slot) {
        if (IsKept(slot)) {
            e_.SseReg(0xF2, opcode, reg, kXmm0);
        } else {
            e_.SseMem(0xF2, opcode, reg, slot);
        }
    }

    void Check(int reg, std::uint32_t index) {
        e_.MovqRaxFromXmm(reg);
        e_.Bytes({0x48, 0x01, 0xC0});  // add rax, rax
        if (framed_) {
            e_.Bytes({0x4C, 0x39, 0xE0});  // cmp rax, r12
        } else {
            e_.Bytes({0x48, 0x39, 0xD0});  // cmp rax, rdx
        }
        stubs_.push_back({e_.JaeForward(), index, keptValid_ && dirty_, kept_});
    }

    void Instruction(std::uint32_t index, const Instr& in) {
        constexpr std::uint8_t kAdd = 0x58, kMul = 0x59, kSub = 0x5C, kDiv = 0x5E;
        if (IsCall(in.op)) {
            // Calls clobber every xmm register: write the kept value back first, so that a
            // failure also finds its operands in their slots.
            if (keptValid_ && dirty_) e_.StoreSlot(kXmm0, kept_);
            dirty_ = false;
            if (in.op == Op::Pow) {
                Load(kXmm1, in.b);
                Load(kXmm0, in.a);
                e_.Bytes({0x48, 0xB8});
                e_.U64(std::uint64_t(reinterpret_cast<std::uintptr_t>(static_cast<double (*)(double, double)>(&::pow))));
            } else {
                Load(kXmm0, in.a);
                e_.Bytes({0x48, 0xB8});
                e_.U64(std::uint64_t(reinterpret_cast<std::uintptr_t>(FunctionOf(in.op))));
            }
            keptValid_ = false;
            e_.Bytes({0xFF, 0xD0});  // call rax
            if (NeedsCheck(in.op)) Check(kXmm0, index);
            Result(index, in, kXmm0);
            return;
        }
        switch (in.op) {
            case Op::Add: Load(kXmm2, in.a); Arith(kAdd, kXmm2, in.b); break;
            case Op::Sub: Load(kXmm2, in.a); Arith(kSub, kXmm2, in.b); break;
            case Op::Mul: Load(kXmm2, in.a); Arith(kMul, kXmm2, in.b); break;
            case Op::Div: Load(kXmm2, in.a); Arith(kDiv, kXmm2, in.b); break;
            case Op::MulAdd: Load(kXmm2, in.a); Arith(kMul, kXmm2, in.b); Arith(kAdd, kXmm2, in.c); break;
            case Op::MulSub: Load(kXmm2, in.a); Arith(kMul, kXmm2, in.b); Arith(kSub, kXmm2, in.c); break;
            case Op::NegMulAdd:
                Load(kXmm2, in.a);
                Arith(kMul, kXmm2, in.b);
                Load(kXmm1, in.c);
                e_.SseReg(0xF2, kSub, kXmm1, kXmm2);
                e_.MovapdReg(kXmm2, kXmm1);
                break;
            case Op::Sqrt:
                if (IsKept(in.a)) {
                    e_.SseReg(0xF2, 0x51, kXmm2, kXmm0);
                } else {
                    e_.SseMem(0xF2, 0x51, kXmm2, in.a);
                }
                break;
            case Op::Neg:
            case Op::Abs:
                Load(kXmm2, in.a);
                e_.MovqRaxFromXmm(kXmm2);
                // btc / btr rax, 63: flip or clear the sign bit.
                e_.Bytes({0x48, 0x0F, 0xBA, std::uint8_t(in.op == Op::Neg ? 0xF8 : 0xF0), 0x3F});
                e_.MovqXmmFromRax(kXmm2);
                break;
            case Op::PowInt: {
                // The interpreter's square-and-multiply, step for step: result in xmm2.
                Load(kXmm3, in.a);
                unsigned n = in.n;
                bool haveResult = false;
                for (;;) {
                    if (n & 1u) {
                        if (haveResult) {
                            e_.SseReg(0xF2, kMul, kXmm2, kXmm3);
                        } else {
                            e_.MovapdReg(kXmm2, kXmm3);
                            haveResult = true;
                        }
                    }
                    n >>= 1;
                    if (!n) break;
                    e_.SseReg(0xF2, kMul, kXmm3, kXmm3);
                }
                break;
            }
            default:
                break;
        }
        if (NeedsCheck(in.op)) Check(kXmm2, index);
        e_.MovapdReg(kXmm0, kXmm2);
        Result(index, in, kXmm0);
    }

    // The result is in xmm0: store it unless the next instruction takes it from there.
    void Result(std::uint32_t index, const Instr& in, int reg) {
        if (skipStore_[index]) {
            dirty_ = true;
        } else {
            e_.StoreSlot(reg, in.dst);
            dirty_ = false;
        }
        kept_ = in.dst;
        keptValid_ = true;
    }

    const Program& p_;
    Emitter e_;
    std::vector<bool> skipStore_;
    std::vector<FailStub> stubs_;
    std::uint32_t kept_ = 0;
    bool keptValid_ = false;
    bool dirty_ = false;
    bool framed_ = false;
};

}  // namespace

JitCode JitCode::Compile(const Program& program) {
    JitCode jit;
    if (program.slots.size() >= (1u << 28)) return jit;  // slot offsets must fit 32 bits
    std::vector<std::uint8_t> bytes = Generator(program).Generate();
    const std::size_t size = bytes.size();
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return jit;
    std::memcpy(memory, bytes.data(), size);
    if (mprotect(memory, size, PROT_READ | PROT_EXEC) != 0) {
        munmap(memory, size);
        return jit;
    }
    jit.memory_ = memory;
    jit.size_ = size;
    jit.entry_ = reinterpret_cast<Entry>(memory);
    return jit;
}

#endif

}  // namespace orv::expr
