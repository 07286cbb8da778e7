#pragma once
// The compiled form of an expression: a short register program over one array of doubles.
// Slots 0, 1, 2 hold r, s, t; then come the constants, then the temporaries. Every
// instruction reads its operands from slots and writes one slot, so an evaluation is a walk
// over a flat array with no allocation and no call per node other than the math functions.

#include <cstdint>
#include <string>
#include <vector>

#pragma GCC visibility push(hidden)

namespace orv::expr {

enum class Op : std::uint8_t {
    End,
    Add,     // a + b
    Sub,     // a - b
    Mul,     // a * b
    Div,     // a / b
    Neg,     // -a
    Pow,     // a ^ b
    PowInt,  // a ^ n, n from 3 to 16, by repeated multiplication
    MulAdd,  // a * b + c
    MulSub,  // a * b - c
    NegMulAdd,  // c - a * b
    Abs,
    ArcCos,
    ArcCosh,
    ArcSin,
    ArcSinh,
    ArcTan,
    ArcTanh,
    Cos,
    Cosh,
    Exp,
    Ln,
    Log,  // base 10
    Sin,
    Sinh,
    Sqrt,
    Tan,
    Tanh,
};

struct Instr {
    Op op = Op::End;
    std::uint8_t spare = 0;
    std::uint16_t n = 0;  // exponent of PowInt
    std::uint32_t dst = 0;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
    std::int32_t column = 0;  // 1-based column of the operator or function name
};

inline constexpr std::uint32_t kSlotR = 0;
inline constexpr std::uint32_t kSlotS = 1;
inline constexpr std::uint32_t kSlotT = 2;
inline constexpr std::uint32_t kVariableSlots = 3;

struct Program {
    std::vector<Instr> code;     // the instructions, then one Op::End
    std::vector<double> slots;   // initial slot values: variables 0, constants, temporaries 0
    std::uint32_t resultSlot = 0;
    std::uint32_t firstTemp = kVariableSlots;  // constants lie between the variables and this
    unsigned variableMask = 0;   // bit 0 r, bit 1 s, bit 2 t
};

// The outcome of a run: class 0 on success, else an error class with the failing instruction.
struct RunError {
    unsigned errorClass = 0;
    const Instr* at = nullptr;
};

// Runs the program over slots (sized as program.slots, variables already stored) up to its
// Op::End. Every intermediate value is checked: the first one that is not finite stops the run
// and is classified by the operation that produced it.
RunError Run(const Instr* code, double* slots);

// Applies one operation to constant operands, as Run would; false when Run would fail.
bool Fold(Op op, double a, double b, double c, unsigned n, double& result);

// The error class of an operation whose result was not finite, for finite operands.
[[gnu::cold]] unsigned ClassifyFailure(Op op, double a, double b);

// The function's name as the language spells it ("ARCCOS"), or the operator ("+").
const wchar_t* OpName(Op op);
bool IsFunction(Op op);

// One line per instruction, e.g. "$0 = r * s + t", and a last line "result = $0".
std::wstring ListProgram(const Program& program);

}  // namespace orv::expr

#pragma GCC visibility pop
