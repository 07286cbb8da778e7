#include "components/expr/ExprJit.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#if defined(__x86_64__) && defined(__linux__)
#include <xbyak/xbyak.h>
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

JitCode JitCode::Compile(const Program&, PageSource) noexcept { return {}; }

#else

namespace {

using Xbyak::Reg64;
using Xbyak::Xmm;
using namespace Xbyak::util;  // the register names
constexpr auto kNear = Xbyak::CodeGenerator::T_NEAR;

// The generated function keeps the slot array in a base register and, in another, the bound at
// or above which a value shifted left by one is not finite (all exponent bits set); xmm0 holds
// the value of the "kept" slot. A program that calls functions uses the callee-saved rbx and
// r12 and aligns the stack; one without calls uses rdi and rdx as they come and needs no frame.
//
// The block entry wraps the same body in a loop over the points. Its loop state lives in
// registers the body never touches: without calls in caller-saved ones (index rcx, count r8,
// the variables' arrays r9 to r11, the block description rsi, r, s and t in xmm4 to xmm6); with
// calls in callee-saved ones (index r13, count r14, the block description r15), the arrays then
// read from the block description at each point, since there are not enough such registers.
constexpr std::uint64_t kNonFiniteBound = 0xFFE0000000000000ull;
const Xmm kXmm0 = xmm0, kXmm1 = xmm1, kXmm2 = xmm2, kXmm3 = xmm3;
// Without calls, the block loop holds r, s and t in these for the whole point, not in their
// slots (the caller stores the failing point's variables into the slots itself).
const Xmm kVariableXmm[3] = {xmm4, xmm5, xmm6};

using Block = JitCode::Block;
static_assert(offsetof(Block, r) == 0 && offsetof(Block, s) == 8 && offsetof(Block, t) == 16 &&
              offsetof(Block, results) == 24 && offsetof(Block, count) == 32 && offsetof(Block, index) == 40);
constexpr std::int32_t kArrayOffset[3] = {offsetof(Block, r), offsetof(Block, s), offsetof(Block, t)};

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

// The assembler's buffer: plain memory it writes into and the code is copied out of, never
// made executable itself. Its size is the bound on the code: the assembler refuses to write
// beyond it.
struct BufferAllocator final : Xbyak::Allocator {
    bool useProtect() const override { return false; }
};

struct FailStub {
    Xbyak::Label label;    // where the failing check jumps
    std::uint32_t code;    // returned: 1 + the instruction index, or kVariableNotFinite
    bool storeKept;        // xmm0 holds a slot value not yet written back
    std::uint32_t keptSlot;
};

// The registers of the block loop.
struct LoopRegisters {
    Reg64 index, count, block;
    int arrays[3];  // registers of the arrays of r, s and t; -1: read from the block description at each point
};

class Generator {
public:
    Generator(const Program& p, Xbyak::CodeGenerator& a) : p_(p), a_(a) {}

    // The entry for one point: unsigned (double* slots).
    void Generate() {
        const std::size_t n = Prepare();
        if (framed_) {
            // Calls need a 16-byte aligned stack: two pushes and 8 bytes.
            a_.push(rbx);
            a_.push(r12);
            a_.sub(rsp, 8);
            a_.mov(rbx, rdi);
            Frame(rbx, r12);
        } else {
            Frame(rdi, rdx);
        }
        for (std::size_t i = 0; i < n; ++i) Instruction(std::uint32_t(i), p_.code[i]);
        if (keptValid_ && dirty_) StoreSlot(kXmm0, kept_);
        a_.xor_(eax, eax);
        Xbyak::Label exit;
        a_.L(exit);
        if (framed_) {
            a_.add(rsp, 8);
            a_.pop(r12);
            a_.pop(rbx);
        }
        a_.ret();
        EmitStubs(exit);
    }

    // The entry for a block of points: unsigned (double* slots, JitCode::Block* block).
    void GenerateBlock() {
        const std::size_t n = Prepare();
        LoopRegisters regs;
        if (framed_) {
            // Five pushes leave the stack 16-byte aligned for calls.
            for (const Reg64& reg : {rbx, r12, r13, r14, r15}) a_.push(reg);
            a_.mov(rbx, rdi);
            a_.mov(r15, rsi);
            Frame(rbx, r12);
            regs = {r13, r14, r15, {-1, -1, -1}};
        } else {
            Frame(rdi, rdx);
            regs = {rcx, r8, rsi, {9, 10, 11}};
        }
        const unsigned mask = p_.variableMask;
        a_.mov(regs.count, a_.qword[regs.block + offsetof(Block, count)]);
        for (int v = 0; v < 3; ++v)
            if ((mask & (1u << v)) && regs.arrays[v] >= 0)
                a_.mov(Reg64(regs.arrays[v]), a_.qword[regs.block + kArrayOffset[v]]);
        a_.xor_(regs.index.cvt32(), regs.index.cvt32());
        a_.align(16);
        Xbyak::Label loop;
        a_.L(loop);
        keptValid_ = false;
        dirty_ = false;
        // The variables in use, checked as EvaluateAt checks them, then stored into their slots
        // or kept in registers.
        for (int v = 0; v < 3; ++v) {
            if (!(mask & (1u << v))) continue;
            Reg64 array = rax;
            if (regs.arrays[v] >= 0) {
                array = Reg64(regs.arrays[v]);
            } else {
                a_.mov(rax, a_.qword[regs.block + kArrayOffset[v]]);
            }
            const Xmm reg = framed_ ? kXmm1 : kVariableXmm[v];
            a_.movsd(reg, a_.qword[array + regs.index * 8]);
            Check(reg, JitCode::kVariableNotFinite);
            if (framed_) {
                StoreSlot(reg, std::uint32_t(v));
            } else {
                variableInRegister_[v] = true;
            }
        }
        for (std::size_t i = 0; i < n; ++i) Instruction(std::uint32_t(i), p_.code[i]);
        if (keptValid_ && dirty_) StoreSlot(kXmm0, kept_);
        // results[index] = the result slot's value, unless results is null.
        a_.mov(rax, a_.qword[regs.block + offsetof(Block, results)]);
        a_.test(rax, rax);
        Xbyak::Label noResults;
        a_.jz(noResults, kNear);
        Xmm value = kXmm0;
        if (!IsKept(p_.resultSlot)) {
            Load(kXmm1, p_.resultSlot);
            value = kXmm1;
        }
        a_.movsd(a_.qword[rax + regs.index * 8], value);
        a_.L(noResults);
        a_.inc(regs.index);
        a_.cmp(regs.index, regs.count);
        a_.jb(loop);
        a_.xor_(eax, eax);
        Xbyak::Label exit;
        a_.L(exit);
        if (framed_)
            for (const Reg64& reg : {r15, r14, r13, r12, rbx}) a_.pop(reg);
        a_.ret();
        // A failure records the point before leaving: block->index = index.
        Xbyak::Label failed;
        a_.L(failed);
        a_.mov(a_.qword[regs.block + offsetof(Block, index)], regs.index);
        a_.jmp(exit);
        EmitStubs(failed);
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

    // The registers of the slot array and of the finiteness bound, which is loaded here.
    void Frame(const Reg64& base, const Reg64& bound) {
        base_ = base;
        bound_ = bound;
        a_.mov(bound_, kNonFiniteBound);
    }

    Xbyak::Address SlotMem(std::uint32_t slot) const { return a_.qword[base_ + std::int32_t(slot * 8)]; }
    void LoadSlot(const Xmm& reg, std::uint32_t slot) { a_.movsd(reg, SlotMem(slot)); }
    void StoreSlot(const Xmm& reg, std::uint32_t slot) { a_.movsd(SlotMem(slot), reg); }
    void MovapdReg(const Xmm& dst, const Xmm& src) {
        if (dst.getIdx() != src.getIdx()) a_.movapd(dst, src);
    }

    // Each failure writes back the kept value, sets its code and jumps to `exit`.
    void EmitStubs(const Xbyak::Label& exit) {
        for (auto& stub : stubs_) {
            a_.L(stub.label);
            if (stub.storeKept) StoreSlot(kXmm0, stub.keptSlot);
            a_.mov(eax, stub.code);
            a_.jmp(exit);
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
    // The register holding the slot's value, or null where it is read from the slot.
    const Xmm* RegisterOf(std::uint32_t slot) const {
        if (IsKept(slot)) return &kXmm0;
        if (slot < kVariableSlots && variableInRegister_[slot]) return &kVariableXmm[slot];
        return nullptr;
    }

    // reg := slot's value (from a register when it is held in one).
    void Load(const Xmm& reg, std::uint32_t slot) {
        if (const Xmm* from = RegisterOf(slot)) {
            MovapdReg(reg, *from);
        } else {
            LoadSlot(reg, slot);
        }
    }

    // reg op= slot's value, op one of the scalar double instructions (addsd, mulsd, ...).
    using SseOp = void (Xbyak::CodeGenerator::*)(const Xmm&, const Xbyak::Operand&);
    void Arith(SseOp op, const Xmm& reg, std::uint32_t slot) {
        if (const Xmm* from = RegisterOf(slot)) {
            (a_.*op)(reg, *from);
        } else {
            (a_.*op)(reg, SlotMem(slot));
        }
    }

    // Fails with `code` unless reg holds a finite value.
    void Check(const Xmm& reg, std::uint32_t code) {
        a_.movq(rax, reg);
        a_.add(rax, rax);
        a_.cmp(rax, bound_);
        stubs_.push_back({Xbyak::Label(), code, keptValid_ && dirty_, kept_});
        a_.jae(stubs_.back().label, kNear);
    }

    void Instruction(std::uint32_t index, const Instr& in) {
        using G = Xbyak::CodeGenerator;
        const SseOp kAdd = &G::addsd, kMul = &G::mulsd, kSub = &G::subsd, kDiv = &G::divsd;
        if (IsCall(in.op)) {
            // Calls clobber every xmm register: write the kept value back first, so that a
            // failure also finds its operands in their slots.
            if (keptValid_ && dirty_) StoreSlot(kXmm0, kept_);
            dirty_ = false;
            std::uintptr_t function;
            if (in.op == Op::Pow) {
                Load(kXmm1, in.b);
                Load(kXmm0, in.a);
                function = reinterpret_cast<std::uintptr_t>(static_cast<double (*)(double, double)>(&::pow));
            } else {
                Load(kXmm0, in.a);
                function = reinterpret_cast<std::uintptr_t>(FunctionOf(in.op));
            }
            keptValid_ = false;
            a_.mov(rax, std::uint64_t(function));
            a_.call(rax);
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
                a_.subsd(kXmm1, kXmm2);
                MovapdReg(kXmm2, kXmm1);
                break;
            case Op::Sqrt: Arith(&G::sqrtsd, kXmm2, in.a); break;
            case Op::Neg:
            case Op::Abs:
                // Flip or clear the sign bit.
                Load(kXmm2, in.a);
                a_.movq(rax, kXmm2);
                if (in.op == Op::Neg) {
                    a_.btc(rax, 63);
                } else {
                    a_.btr(rax, 63);
                }
                a_.movq(kXmm2, rax);
                break;
            case Op::PowInt: {
                // The interpreter's square-and-multiply, step for step: result in xmm2.
                Load(kXmm3, in.a);
                unsigned n = in.n;
                bool haveResult = false;
                for (;;) {
                    if (n & 1u) {
                        if (haveResult) {
                            a_.mulsd(kXmm2, kXmm3);
                        } else {
                            MovapdReg(kXmm2, kXmm3);
                            haveResult = true;
                        }
                    }
                    n >>= 1;
                    if (!n) break;
                    a_.mulsd(kXmm3, kXmm3);
                }
                break;
            }
            default:
                break;
        }
        if (NeedsCheck(in.op)) Check(kXmm2, index + 1);
        MovapdReg(kXmm0, kXmm2);
        Result(index, in, kXmm0);
    }

    // The result is in xmm0: store it unless the next instruction takes it from there.
    void Result(std::uint32_t index, const Instr& in, const Xmm& reg) {
        if (skipStore_[index]) {
            dirty_ = true;
        } else {
            StoreSlot(reg, in.dst);
            dirty_ = false;
        }
        kept_ = in.dst;
        keptValid_ = true;
    }

    const Program& p_;
    Xbyak::CodeGenerator& a_;
    Reg64 base_, bound_;
    std::vector<bool> skipStore_;
    std::vector<FailStub> stubs_;
    std::uint32_t kept_ = 0;
    bool keptValid_ = false;
    bool dirty_ = false;
    bool framed_ = false;
    bool variableInRegister_[kVariableSlots] = {false, false, false};
};

void* MapPages(std::size_t size) {
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : memory;
}

}  // namespace

JitCode JitCode::Compile(const Program& program, PageSource pages) noexcept {
    JitCode jit;
    if (program.slots.size() >= (1u << 28)) return jit;  // slot offsets must fit 32 bits
    if (program.code.size() > kMaxMachineCodeInstructions) return jit;
    void* memory = nullptr;
    std::size_t size = 0, blockOffset = 0;
    try {
        // Every jump distance and every operand is checked by the assembler, which throws rather
        // than emit code it cannot encode, as it does when the code outgrows its buffer or there
        // is no memory for it.
        BufferAllocator buffer;
        Xbyak::CodeGenerator a(kMaxMachineCodeBytes, nullptr, &buffer);
        Generator(program, a).Generate();
        a.align(16);
        blockOffset = a.getSize();
        Generator(program, a).GenerateBlock();
        a.ready();
        size = a.getSize();
        memory = (pages ? pages : &MapPages)(size);
        if (!memory) return jit;
        std::memcpy(memory, a.getCode(), size);
    } catch (const std::exception&) {
        return jit;  // the interpreter needs no more memory than the program has
    }
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
