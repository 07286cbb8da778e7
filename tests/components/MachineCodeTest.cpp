// The expression machine code itself (its sources are compiled into this test): it is made and
// run where the processor has it, and programs beyond its bounds are left to the interpreter.

#include <gtest/gtest.h>

#include <string>

#include "components/expr/ExprCompiler.h"
#include "components/expr/ExprJit.h"

namespace {

using namespace orv::expr;

double RunOnce(const Program& program, const JitCode* jit, double r, double s, double t) {
    std::vector<double> slots = program.slots;
    slots[kSlotR] = r;
    slots[kSlotS] = s;
    slots[kSlotT] = t;
    const unsigned failed = jit ? jit->Run(slots.data()) : Run(program.code.data(), slots.data()).errorClass;
    EXPECT_EQ(failed, 0u);
    return slots[program.resultSlot];
}

TEST(MachineCode, RunsWhereAvailableAndLeavesLargeProgramsToTheInterpreter) {
    const CompileOutcome small = Compile(L"r*s+t", 1, {});
    ASSERT_TRUE(small.ok);
    const JitCode code = JitCode::Compile(small.program);
#if defined(__x86_64__) && defined(__linux__)
    ASSERT_TRUE(code) << "machine code is available on this processor";
    EXPECT_EQ(RunOnce(small.program, &code, 2, 3, 4), 10.0);

    // Memory for the code refused: no machine code, and the interpreter gives the same value.
    static std::size_t asked = 0;
    const JitCode refused = JitCode::Compile(small.program, [](std::size_t bytes) -> void* {
        asked = bytes;
        return nullptr;
    });
    EXPECT_FALSE(refused);
    EXPECT_GT(asked, 0u);
    EXPECT_EQ(RunOnce(small.program, nullptr, 2, 3, 4), 10.0);
#endif

    // One instruction per term: beyond the instruction bound, no machine code.
    std::wstring text = L"r";
    while (text.size() < 4 * (kMaxMachineCodeInstructions + 8)) text += L"+r*s";
    const CompileOutcome large = Compile(text, 1, {});
    ASSERT_TRUE(large.ok) << std::string(large.message.begin(), large.message.end());
    ASSERT_GT(large.program.code.size(), kMaxMachineCodeInstructions);
    EXPECT_FALSE(JitCode::Compile(large.program));
    EXPECT_DOUBLE_EQ(RunOnce(large.program, nullptr, 1, 2, 0), 1 + 2.0 * double((text.size() - 1) / 4));
}

}  // namespace
