#pragma once
// Machine code for a Program (x86-64 only): the same instructions as the interpreter, with the
// same checks and the same rounding, but without dispatch, and with a value handed from one
// instruction to the next in a register instead of through its slot.

#include <cstddef>

#include "components/expr/ExprProgram.h"

#pragma GCC visibility push(hidden)

namespace orv::expr {

class JitCode {
public:
    JitCode() = default;
    ~JitCode();
    JitCode(JitCode&& other) noexcept;
    JitCode& operator=(JitCode&& other) noexcept;
    JitCode(const JitCode&) = delete;
    JitCode& operator=(const JitCode&) = delete;

    // The code of a program, or an empty JitCode where machine code cannot be made (another
    // processor, executable memory refused); callers then interpret the program.
    static JitCode Compile(const Program& program);

    explicit operator bool() const { return entry_ != nullptr; }

    // Runs over slots as expr::Run does: 0 on success, else 1 + the index of the instruction
    // whose result was not finite (its operand slots hold the values it was given).
    unsigned Run(double* slots) const { return entry_(slots); }

private:
    using Entry = unsigned (*)(double* slots);
    Entry entry_ = nullptr;
    void* memory_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace orv::expr

#pragma GCC visibility pop
