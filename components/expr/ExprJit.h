#pragma once
// Machine code for a Program (x86-64 only), emitted through the xbyak assembler: the same
// instructions as the interpreter, with the same checks and the same rounding, but without
// dispatch, and with a value handed from one instruction to the next in a register instead of
// through its slot.

#include <cstddef>
#include <cstdint>

#include "components/expr/ExprProgram.h"

#pragma GCC visibility push(hidden)

namespace orv::expr {

// Bounds of the machine code: a longer expression text, a program with more instructions or
// code larger than these is interpreted instead. They keep the code small and every jump
// distance far inside its 32 bits (the assembler refuses, and the program is interpreted, should
// one not fit); the interpreter gives the same results.
inline constexpr std::size_t kMaxMachineCodeTextChars = 65536;
inline constexpr std::size_t kMaxMachineCodeInstructions = 16384;
inline constexpr std::size_t kMaxMachineCodeBytes = std::size_t(4) << 20;

class JitCode {
public:
    JitCode() = default;
    ~JitCode();
    JitCode(JitCode&& other) noexcept;
    JitCode& operator=(JitCode&& other) noexcept;
    JitCode(const JitCode&) = delete;
    JitCode& operator=(const JitCode&) = delete;

    // Where the code goes: `bytes` of writable pages from mmap (the code makes them executable
    // and unmaps them), or null when refused. Tests pass one that refuses.
    using PageSource = void* (*)(std::size_t bytes);

    // The code of a program, or an empty JitCode where machine code cannot be made (another
    // processor, executable memory refused, no memory while translating, a program beyond the
    // bounds above); callers then interpret the program. `pages` null: mmap.
    static JitCode Compile(const Program& program, PageSource pages = nullptr) noexcept;

    explicit operator bool() const { return entry_ != nullptr; }

    // Runs over slots as expr::Run does: 0 on success, else 1 + the index of the instruction
    // whose result was not finite (its operand slots hold the values it was given).
    unsigned Run(double* slots) const { return entry_(slots); }

    // Many points in one call: the arrays of the variables the program uses (the others are not
    // read and may be null), where the values go (null: nowhere), how many points (at least 1).
    struct Block {
        const double* r;
        const double* s;
        const double* t;
        double* results;
        std::uint64_t count;
        std::uint64_t index;  // out: the point that failed
    };
    // Returned by RunBlock when a variable the program uses is not finite at block.index.
    static constexpr unsigned kVariableNotFinite = 0xFFFFFFFFu;

    // For each point in order: the variables the program uses are checked (kVariableNotFinite)
    // and stored into their slots, the program runs as Run, and the result slot's value is
    // written to results. Returns 0 after the last point, else stops at the first failing point
    // with Run's code or kVariableNotFinite, its index in block.index. The slots of the variables
    // the program does not use are left as they were.
    unsigned RunBlock(double* slots, Block& block) const { return blockEntry_(slots, &block); }

private:
    using Entry = unsigned (*)(double* slots);
    using BlockEntry = unsigned (*)(double* slots, Block* block);
    Entry entry_ = nullptr;
    BlockEntry blockEntry_ = nullptr;
    void* memory_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace orv::expr

#pragma GCC visibility pop
