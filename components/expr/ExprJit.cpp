#include "components/expr/ExprJit.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
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
      blockEntry_(std::exchange(other.blockEntry_, nullptr)),
      memory_(std::exchange(other.memory_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

JitCode& JitCode::operator=(JitCode&& other) noexcept {
    if (this != &other) {
        JitCode old(std::move(*this));
        entry_ = std::exchange(other.entry_, nullptr);
        blockEntry_ = std::exchange(other.blockEntry_, nullptr);
        memory_ = std::exchange(other.memory_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

#ifndef ORV_EXPR_JIT

JitCode JitCode::Compile(const Program&) noexcept { return {}; }

#else

namespace {

// The generated function keeps the slot array in a base register and, in another, the bound at
// or above which a value shifted left by one is not finite (all exponent bits set); xmm0 holds
// the value of the "kept" slot. A program that calls functions uses the callee-saved rbx and
// r12 and aligns the stack; one without calls uses rdi and rdx as they come and needs no frame.
//
// The block entry wraps the same body in a loop over the points. Its loop state lives in
// registers the body never touches: without calls in caller-saved ones (index rcx, count r8,
// the variables' arrays r9 to r11, the block description rsi, r, s and t in xmm4 to xmm6); with
// calls in callee-saved ones
// (index r13, count r14, the block description r15), the arrays then read from the block
// description at each point, since there are not enough such registers.
constexpr std::uint64_t kNonFiniteBound = 0xFFE0000000000000ull;
constexpr int kXmm0 = 0, kXmm1 = 1, kXmm2 = 2, kXmm3 = 3;
// Without calls, the block loop holds r, s and t in these for the whole point, not in their
// slots (the caller stores the failing point's variables into the slots itself).
constexpr int kVariableXmm[3] = {4, 5, 6};
constexpr int kRax = 0, kRcx = 1, kRbx = 3, kRsi = 6, kRdi = 7, kR8 = 8, kR9 = 9, kR10 = 10, kR11 = 11, kR13 = 13,
              kR14 = 14, kR15 = 15;

using Block = JitCode::Block;
static_assert(offsetof(Block, r) == 0 && offsetof(Block, s) == 8 && offsetof(Block, t) == 16 &&
              offsetof(Block, results) == 24 && offsetof(Block, count) == 32 && offsetof(Block, index) == 40);
constexpr std::uint8_t kArrayOffset[3] = {offsetof(Block, r), offsetof(Block, s), offsetof(Block, t)};

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

    // A REX prefix with W and the high bits of the three register fields, left out when empty.
    void Rex(bool w, int reg, int index, int rm) {
        const std::uint8_t rex =
            std::uint8_t(0x40 | (w ? 8 : 0) | ((reg >> 3) & 1) << 2 | ((index >> 3) & 1) << 1 | ((rm >> 3) & 1));
        if (rex != 0x40) code.push_back(rex);
    }
    // prefix 0F opcode with xmm reg and the operand [array + index * 8], any general registers.
    void SseIndexed(std::uint8_t prefix, std::uint8_t opcode, int reg, int array, int index) {
        code.push_back(prefix);
        Rex(false, reg, index, array);
        const std::uint8_t sib = std::uint8_t(0xC0 | (index & 7) << 3 | (array & 7));
        if ((array & 7) == 5) {
            // rbp and r13 as a base need a displacement.
            Bytes({0x0F, opcode, std::uint8_t(0x44 | (reg & 7) << 3), sib, 0});
        } else {
            Bytes({0x0F, opcode, std::uint8_t(0x04 | (reg & 7) << 3), sib});
        }
    }
    // mov (opcode 8B) dst, [base + offset] or mov (89) [base + offset], dst; 64 bits.
    void MoveQword(std::uint8_t opcode, int reg, int base, std::uint8_t offset) {
        Rex(true, reg, 0, base);
        Bytes({opcode, std::uint8_t(0x40 | (reg & 7) << 3 | (base & 7))});
        if ((base & 7) == 4) code.push_back(0x24);  // rsp and r12 as a base need a SIB byte
        code.push_back(offset);
    }
    void LoadQword(int dst, int base, std::uint8_t offset) { MoveQword(0x8B, dst, base, offset); }
    void StoreQword(int base, std::uint8_t offset, int src) { MoveQword(0x89, src, base, offset); }
    // opcode /r between two 64-bit registers, rm first: add 01, cmp 39, test 85.
    void RegReg(std::uint8_t opcode, int rm, int reg) {
        Rex(true, reg, 0, rm);
        Bytes({opcode, std::uint8_t(0xC0 | (reg & 7) << 3 | (rm & 7))});
    }
    void ZeroReg(int reg) {  // xor r32, r32 (clears all 64 bits)
        Rex(false, reg, 0, reg);
        Bytes({0x31, std::uint8_t(0xC0 | (reg & 7) << 3 | (reg & 7))});
    }
    void IncReg(int reg) {
        Rex(true, 0, 0, reg);
        Bytes({0xFF, std::uint8_t(0xC0 | (reg & 7))});
    }
    void AlignTo16() {
        while (code.size() % 16) code.push_back(0x90);
    }

    // Conditional jump 0F cc rel32 forward; returns the position of rel32 for patching.
    std::size_t JccForward(std::uint8_t cc) {
        Bytes({0x0F, cc});
        const std::size_t at = code.size();
        U32(0);
        return at;
    }
    std::size_t JaeForward() { return JccForward(0x83); }
    // A jump (E9) or conditional jump (0F cc) to a position already emitted.
    void JumpBack(std::size_t target, std::uint8_t cc = 0) {
        if (cc) {
            Bytes({0x0F, cc});
        } else {
            Bytes({0xE9});
        }
        const std::size_t at = code.size();
        U32(0);
        Patch(at, target);
    }
    // A distance that does not fit the 32 bits marks the code unusable instead of jumping astray.
    void Patch(std::size_t at, std::size_t target) {
        const std::int64_t distance = std::int64_t(target) - std::int64_t(at + 4);
        if (distance < INT32_MIN || distance > INT32_MAX) {
            overflowed = true;
            return;
        }
        const std::int32_t rel = std::int32_t(distance);
        std::memcpy(&code[at], &rel, 4);
    }
    bool overflowed = false;
};

struct FailStub {
    std::size_t jump;      // rel32 to patch
    std::uint32_t code;    // returned: 1 + the instruction index, or kVariableNotFinite
    bool storeKept;        // xmm0 holds a slot value not yet written back
    std::uint32_t keptSlot;
};

// The registers of the block loop.
struct LoopRegisters {
    int index, count, block;
    int arrays[3];  // of r, s and t; -1: read from the block description at each point
};

class Generator {
public:
    explicit Generator(const Program& p) : p_(p) {}
    bool Overflowed() const { return e_.overflowed; }

    // The entry for one point: unsigned (double* slots).
    std::vector<std::uint8_t> Generate() {
        const std::size_t n = Prepare();

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
        for (std::size_t i = 0; i < n; ++i) Instruction(std::uint32_t(i), p_.code[i]);
        if (keptValid_ && dirty_) e_.StoreSlot(kXmm0, kept_);
        e_.Bytes({0x31, 0xC0});  // xor eax, eax
        const std::size_t exit = e_.code.size();
        if (framed_) e_.Bytes({0x48, 0x83, 0xC4, 0x08, 0x41, 0x5C, 0x5B});  // add rsp, 8; pop r12; pop rbx
        e_.Bytes({0xC3});  // ret
        EmitStubs(exit);
        return std::move(e_.code);
    }

    // The entry for a block of points: unsigned (double* slots, JitCode::Block* block).
    std::vector<std::uint8_t> GenerateBlock() {
        const std::size_t n = Prepare();
        LoopRegisters regs;
        if (framed_) {
            // push rbx; push r12; push r13; push r14; push r15 (five pushes leave the stack
            // 16-byte aligned for calls); mov rbx, rdi; mov r15, rsi; mov r12, bound
            e_.Bytes({0x53, 0x41, 0x54, 0x41, 0x55, 0x41, 0x56, 0x41, 0x57, 0x48, 0x89, 0xFB, 0x49, 0x89, 0xF7, 0x49, 0xBC});
            e_.base = kRbx;
            regs = {kR13, kR14, kR15, {-1, -1, -1}};
        } else {
            e_.Bytes({0x48, 0xBA});  // mov rdx, bound
            e_.base = kRdi;
            regs = {kRcx, kR8, kRsi, {kR9, kR10, kR11}};
        }
        e_.U64(kNonFiniteBound);
        const unsigned mask = p_.variableMask;
        e_.LoadQword(regs.count, regs.block, offsetof(Block, count));
        for (int v = 0; v < 3; ++v)
            if ((mask & (1u << v)) && regs.arrays[v] >= 0) e_.LoadQword(regs.arrays[v], regs.block, kArrayOffset[v]);
        e_.ZeroReg(regs.index);
        e_.AlignTo16();
        const std::size_t loop = e_.code.size();
        keptValid_ = false;
        dirty_ = false;
        // The variables in use, checked as EvaluateAt checks them, then stored into their slots
        // or kept in registers.
        for (int v = 0; v < 3; ++v) {
            if (!(mask & (1u << v))) continue;
            int array = regs.arrays[v];
            if (array < 0) {
                e_.LoadQword(kRax, regs.block, kArrayOffset[v]);
                array = kRax;
            }
            const int reg = framed_ ? kXmm1 : kVariableXmm[v];
            e_.SseIndexed(0xF2, 0x10, reg, array, regs.index);
            Check(reg, JitCode::kVariableNotFinite);
            if (framed_) {
                e_.StoreSlot(reg, std::uint32_t(v));
            } else {
                variableInRegister_[v] = true;
            }
        }
        for (std::size_t i = 0; i < n; ++i) Instruction(std::uint32_t(i), p_.code[i]);
        if (keptValid_ && dirty_) e_.StoreSlot(kXmm0, kept_);
        // results[index] = the result slot's value, unless results is null.
        e_.LoadQword(kRax, regs.block, offsetof(Block, results));
        e_.RegReg(0x85, kRax, kRax);  // test rax, rax
        const std::size_t noResults = e_.JccForward(0x84);  // jz
        int value = kXmm0;
        if (!IsKept(p_.resultSlot)) {
            Load(kXmm1, p_.resultSlot);
            value = kXmm1;
        }
        e_.SseIndexed(0xF2, 0x11, value, kRax, regs.index);
        e_.Patch(noResults, e_.code.size());
        e_.IncReg(regs.index);
        e_.RegReg(0x39, regs.index, regs.count);  // cmp index, count
        e_.JumpBack(loop, 0x82);                  // jb loop
        e_.Bytes({0x31, 0xC0});                   // xor eax, eax
        const std::size_t exit = e_.code.size();
        if (framed_) e_.Bytes({0x41, 0x5F, 0x41, 0x5E, 0x41, 0x5D, 0x41, 0x5C, 0x5B});  // pop r15 to rbx
        e_.Bytes({0xC3});  // ret
        // A failure records the point before leaving: block->index = index.
        const std::size_t failed = e_.code.size();
        e_.StoreQword(regs.block, offsetof(Block, index), regs.index);
        e_.JumpBack(exit);
        EmitStubs(failed);
        return std::move(e_.code);
    }

private:
    // Counts the instructions and plans the stores; decides whether a frame is needed.
    std::size_t Prepare() {
        const auto& code = p_.code;
        std::size_t n = 0;
        while (n < code.size() && code[n].op != Op::End) ++n;
        PlanStores(n);
        framed_ = false;
        for (std::size_t i = 0; i < n; ++i) framed_ = framed_ || IsCall(code[i].op);
        return n;
    }

    // Each failure writes back the kept value, sets its code and jumps to `exit`.
    void EmitStubs(std::size_t exit) {
        for (const auto& stub : stubs_) {
            e_.Patch(stub.jump, e_.code.size());
            if (stub.storeKept) e_.StoreSlot(kXmm0, stub.keptSlot);
            e_.Bytes({0xB8});
            e_.U32(stub.code);
            e_.JumpBack(exit);
        }
    }

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
    // The register holding the slot's value, or -1 where it is read from the slot.
    int RegisterOf(std::uint32_t slot) const {
        if (IsKept(slot)) return kXmm0;
        if (slot < kVariableSlots && variableInRegister_[slot]) return kVariableXmm[slot];
        return -1;
    }

    // reg := slot's value (from a register when it is held in one).
    void Load(int reg, std::uint32_t slot) {
        if (const int from = RegisterOf(slot); from >= 0) {
            e_.MovapdReg(reg, from);
        } else {
            e_.LoadSlot(reg, slot);
        }
    }

    // reg op= slot's value.
    void Arith(std::uint8_t opcode, int reg, std::uint32_t slot) {
        if (const int from = RegisterOf(slot); from >= 0) {
            e_.SseReg(0xF2, opcode, reg, from);
        } else {
            e_.SseMem(0xF2, opcode, reg, slot);
        }
    }

    // Fails with `code` unless reg holds a finite value.
    void Check(int reg, std::uint32_t code) {
        e_.MovqRaxFromXmm(reg);
        e_.Bytes({0x48, 0x01, 0xC0});  // add rax, rax
        if (framed_) {
            e_.Bytes({0x4C, 0x39, 0xE0});  // cmp rax, r12
        } else {
            e_.Bytes({0x48, 0x39, 0xD0});  // cmp rax, rdx
        }
        stubs_.push_back({e_.JaeForward(), code, keptValid_ && dirty_, kept_});
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
            if (NeedsCheck(in.op)) Check(kXmm0, index + 1);
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
                if (const int from = RegisterOf(in.a); from >= 0) {
                    e_.SseReg(0xF2, 0x51, kXmm2, from);
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
        if (NeedsCheck(in.op)) Check(kXmm2, index + 1);
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
    bool variableInRegister_[kVariableSlots] = {false, false, false};
};

}  // namespace

JitCode JitCode::Compile(const Program& program) noexcept {
    JitCode jit;
    if (program.slots.size() >= (1u << 28)) return jit;  // slot offsets must fit 32 bits
    if (program.code.size() > kMaxMachineCodeInstructions) return jit;
    std::vector<std::uint8_t> bytes;
    std::size_t blockOffset = 0;
    try {
        Generator one(program);
        bytes = one.Generate();
        while (bytes.size() % 16) bytes.push_back(0xCC);  // int3 between the two entries
        blockOffset = bytes.size();
        Generator many(program);
        const std::vector<std::uint8_t> block = many.GenerateBlock();
        if (one.Overflowed() || many.Overflowed()) return jit;
        bytes.insert(bytes.end(), block.begin(), block.end());
    } catch (const std::bad_alloc&) {
        return jit;  // the interpreter needs no more memory than the program has
    }
    if (bytes.size() > kMaxMachineCodeBytes) return jit;
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
    jit.blockEntry_ = reinterpret_cast<BlockEntry>(static_cast<std::uint8_t*>(memory) + blockOffset);
    return jit;
}

#endif

}  // namespace orv::expr
