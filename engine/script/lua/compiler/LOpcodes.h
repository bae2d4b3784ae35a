#pragma once
// The instruction set: one 32-bit word per instruction.
//   bits 0-5 opcode, 6-14 C, 15-23 B, 24-31 A; Bx = bits 6-23; sBx = Bx - 131071.
// RK(x) is register x when x < 250, else constant x - 250. The numbering is stored in
// precompiled chunks: never reorder.

#include "engine/script/lua/objects/LFunction.h"
#include "engine/script/lua/objects/LLimits.h"

enum OpCode
{
    OP_MOVE,      // A B     R(A) := R(B)
    OP_LOADK,     // A Bx    R(A) := K(Bx)
    OP_LOADBOOL,  // A B C   R(A) := (B != 0); if C skip the next instruction
    OP_LOADNIL,   // A B     R(A) .. R(B) := nil
    OP_GETUPVAL,  // A B     R(A) := upvalue B
    OP_GETGLOBAL, // A Bx    R(A) := G[K(Bx)]
    OP_GETTABLE,  // A B C   R(A) := R(B)[RK(C)]
    OP_SETGLOBAL, // A Bx    G[K(Bx)] := R(A)
    OP_SETUPVAL,  // A B     upvalue B := R(A)
    OP_SETTABLE,  // A B C   R(A)[RK(B)] := RK(C)
    OP_NEWTABLE,  // A B C   R(A) := {} (array size fb2int(B), log2 hash size C)
    OP_SELF,      // A B C   R(A+1) := R(B); R(A) := R(B)[RK(C)]
    OP_ADD,       // A B C   R(A) := RK(B) + RK(C)
    OP_SUB,
    OP_MUL,
    OP_DIV,
    OP_AND, // bitwise and
    OP_OR,  // bitwise or
    OP_SHL,
    OP_SHR,    // logical shift right
    OP_POW,    // xor of two numbers, else the power function
    OP_UNM,    // A B     R(A) := -R(B)
    OP_NOT,    // A B     R(A) := not R(B)
    OP_CONCAT, // A B C   R(A) := R(B) .. ... .. R(C)
    OP_JMP,    // sBx     pc += sBx
    OP_EQ,     // A B C   if (RK(B) == RK(C)) ~= A then pc++
    OP_LT,
    OP_LE,
    OP_TEST,     // A B C   if (R(B) is false) == C then pc++ else R(A) := R(B), take the jump
    OP_CALL,     // A B C   R(A) .. R(A+C-2) := R(A)(R(A+1) .. R(A+B-1))
    OP_TAILCALL, // A B C   return R(A)(R(A+1) .. R(A+B-1))
    OP_RETURN,   // A B     return R(A) .. R(A+B-2)
    OP_FORLOOP,  // A sBx   R(A) += R(A+2); if R(A) has not passed R(A+1) then pc += sBx
    OP_TFORLOOP, // A C     R(A+2) .. R(A+2+C) := R(A)(R(A+1), R(A+2)); if R(A+2) ~= nil then take
                 // the jump
    OP_TFORPREP, // A sBx   if R(A) is a table: R(A+1) := R(A), R(A) := next; pc += sBx
    OP_SETLIST,  // A Bx    R(A)[Bx - Bx%32 + i] := R(A+i), 1 <= i <= Bx%32 + 1
    OP_SETLISTO, // A Bx    the same with the count up to the top
    OP_CLOSE,    // A       close upvalues at registers >= A
    OP_CLOSURE,  // A Bx    R(A) := closure of prototype Bx, upvalues from the next words
    kNumOpcodes
};

// Instruction formats.
enum OpMode
{
    iABC,
    iABx,
    iAsBx
};

constexpr int kSizeC = 9;
constexpr int kSizeB = 9;
constexpr int kSizeBx = kSizeC + kSizeB;
constexpr int kSizeA = 8;
constexpr int kSizeOp = 6;
constexpr int kPosOp = 0;
constexpr int kPosC = kPosOp + kSizeOp;
constexpr int kPosB = kPosC + kSizeC;
constexpr int kPosBx = kPosC;
constexpr int kPosA = kPosB + kSizeB;

constexpr int kMaxArgA = (1 << kSizeA) - 1;
constexpr int kMaxArgB = (1 << kSizeB) - 1;
constexpr int kMaxArgC = (1 << kSizeC) - 1;
constexpr int kMaxArgBx = (1 << kSizeBx) - 1;
constexpr int kMaxArgSBx = kMaxArgBx >> 1; // 131071
constexpr int kNoJump = -1;                // end of a jump list
constexpr int kNoReg = kMaxArgA;           // "no register" in a TEST's A

constexpr int kMaxIndexRK = kMaxArgB - kMaxStack; // constants 0..261 fit an RK operand

inline bool IsConstantRK(int x)
{
    return x >= kMaxStack;
}

inline OpCode GET_OPCODE(Instruction i)
{
    return static_cast<OpCode>((i >> kPosOp) & ((1u << kSizeOp) - 1));
}
inline int GETARG_A(Instruction i)
{
    return static_cast<int>((i >> kPosA) & ((1u << kSizeA) - 1));
}
inline int GETARG_B(Instruction i)
{
    return static_cast<int>((i >> kPosB) & ((1u << kSizeB) - 1));
}
inline int GETARG_C(Instruction i)
{
    return static_cast<int>((i >> kPosC) & ((1u << kSizeC) - 1));
}
inline int GETARG_Bx(Instruction i)
{
    return static_cast<int>((i >> kPosBx) & ((1u << kSizeBx) - 1));
}
inline int GETARG_sBx(Instruction i)
{
    return GETARG_Bx(i) - kMaxArgSBx;
}

inline void SetField(Instruction* i, int value, int position, int size)
{
    const uint32_t mask = ((1u << size) - 1) << position;
    *i = (*i & ~mask) | ((static_cast<uint32_t>(value) << position) & mask);
}
inline void SET_OPCODE(Instruction* i, OpCode o)
{
    SetField(i, o, kPosOp, kSizeOp);
}
inline void SETARG_A(Instruction* i, int v)
{
    SetField(i, v, kPosA, kSizeA);
}
inline void SETARG_B(Instruction* i, int v)
{
    SetField(i, v, kPosB, kSizeB);
}
inline void SETARG_C(Instruction* i, int v)
{
    SetField(i, v, kPosC, kSizeC);
}
inline void SETARG_Bx(Instruction* i, int v)
{
    SetField(i, v, kPosBx, kSizeBx);
}
inline void SETARG_sBx(Instruction* i, int v)
{
    SETARG_Bx(i, v + kMaxArgSBx);
}

inline Instruction CREATE_ABC(OpCode o, int a, int b, int c)
{
    return (static_cast<uint32_t>(o) << kPosOp) | (static_cast<uint32_t>(a) << kPosA) |
           (static_cast<uint32_t>(b) << kPosB) | (static_cast<uint32_t>(c) << kPosC);
}
inline Instruction CREATE_ABx(OpCode o, int a, int bx)
{
    return (static_cast<uint32_t>(o) << kPosOp) | (static_cast<uint32_t>(a) << kPosA) |
           (static_cast<uint32_t>(bx) << kPosBx);
}

// Mode byte per opcode: bits 0-1 format, 2 B is a register, 3 B is RK, 4 C is RK,
// 5 sets register A, 6 Bx is a constant index, 7 test (a jump follows).
extern const uint8_t luaP_opmodes[kNumOpcodes];
extern const char* const luaP_opnames[kNumOpcodes];

constexpr uint8_t kModeBReg = 1 << 2;
constexpr uint8_t kModeBRK = 1 << 3;
constexpr uint8_t kModeCRK = 1 << 4;
constexpr uint8_t kModeSetsA = 1 << 5;
constexpr uint8_t kModeKBx = 1 << 6;
constexpr uint8_t kModeTest = 1 << 7;

inline OpMode getOpMode(OpCode o)
{
    return static_cast<OpMode>(luaP_opmodes[o] & 3);
}
inline bool testOpMode(OpCode o, uint8_t bit)
{
    return (luaP_opmodes[o] & bit) != 0;
}
