#include "engine/script/lua/compiler/LCodeCheck.h"

#include "engine/script/lua/compiler/LOpcodes.h"

namespace {

class LCodeChecker
{
public:
    explicit LCodeChecker(const LProto* f) : mProto(f) {}

    bool Check() const;

private:
    const LProto* mProto;

    bool IsRegister(int r) const { return r >= 0 && r < mProto->mMaxStackSize; }
    bool IsConstant(int k) const { return k >= 0 && k < mProto->mSizeConstants; }
    bool IsRK(int x) const { return IsConstantRK(x) ? IsConstant(x - kMaxStack) : IsRegister(x); }
    bool IsCodeIndex(int pc) const { return pc >= 0 && pc < mProto->mSizeCode; }
    OpCode OpAt(int pc) const { return GET_OPCODE(mProto->mCode[pc]); }

    bool CheckHeader() const;
    bool CheckOperandModes(OpCode op, Instruction i) const;
    bool CheckTestFollowedByJump(OpCode op, int pc) const;
    bool CheckSpecific(OpCode op, Instruction i, int pc) const;
    bool CheckCallResults(OpCode op, Instruction i, int pc) const;
    // Whether the instruction after pc takes open results that start at R(a).
    bool CheckOpenResultsTaken(int a, int pc) const;
    // The MOVE/GETUPVAL words after a CLOSURE; returns how many to skip, or -1.
    int CheckClosure(Instruction i, int pc) const;
};

bool LCodeChecker::CheckHeader() const
{
    const LProto* f = mProto;
    if (f->mMaxStackSize > kMaxStack)
        return false;
    if (f->mSizeLineInfo != f->mSizeCode && f->mSizeLineInfo != 0)
        return false;
    if (f->mNumParams + f->mIsVararg > f->mMaxStackSize)
        return false;
    return f->mSizeCode > 0 && OpAt(f->mSizeCode - 1) == OP_RETURN;
}

bool LCodeChecker::CheckOperandModes(OpCode op, Instruction i) const
{
    if (!IsRegister(GETARG_A(i)))
        return false;
    switch (getOpMode(op)) {
    case iABC:
        if (testOpMode(op, kModeBReg) && !IsRegister(GETARG_B(i)))
            return false;
        if (testOpMode(op, kModeBRK) && !IsRK(GETARG_B(i)))
            return false;
        return !testOpMode(op, kModeCRK) || IsRK(GETARG_C(i));
    case iABx:
        return !testOpMode(op, kModeKBx) || IsConstant(GETARG_Bx(i));
    case iAsBx:
        return true;
    }
    return false;
}

bool LCodeChecker::CheckTestFollowedByJump(OpCode op, int pc) const
{
    if (!testOpMode(op, kModeTest))
        return true;
    return pc + 2 < mProto->mSizeCode && OpAt(pc + 1) == OP_JMP;
}

bool LCodeChecker::CheckCallResults(OpCode op, Instruction i, int pc) const
{
    const int a = GETARG_A(i);
    const int b = GETARG_B(i);
    const int c = GETARG_C(i);
    if (b != 0 && !IsRegister(a + b - 1))
        return false;
    if (c != 0 && !IsRegister(a + c - 2) && c != 1)
        return false;
    // A tail call of a C function leaves its results up to the top whatever C says.
    return (c != 0 && op == OP_CALL) || CheckOpenResultsTaken(a, pc);
}

bool LCodeChecker::CheckOpenResultsTaken(int a, int pc) const
{
    // The results start at R(a) and end at the top, which is R(a) when there are none.
    // The next instruction must take them up to the top, from an operand at or below
    // R(a), so that what it takes never starts above the top.
    if (!IsCodeIndex(pc + 1))
        return false;
    const Instruction next = mProto->mCode[pc + 1];
    const int nextA = GETARG_A(next);
    switch (GET_OPCODE(next)) {
    case OP_CALL:
    case OP_TAILCALL:
        return GETARG_B(next) == 0 && nextA < a; // the called value lies below its arguments
    case OP_RETURN:
        return GETARG_B(next) == 0 && nextA <= a;
    case OP_SETLISTO:
        return nextA < a;
    default:
        return false;
    }
}

int LCodeChecker::CheckClosure(Instruction i, int pc) const
{
    const int index = GETARG_Bx(i);
    if (index >= mProto->mSizeProtos || mProto->mProtos[index] == nullptr)
        return -1;
    const int count = mProto->mProtos[index]->mNumUpvalues;
    if (pc + count >= mProto->mSizeCode)
        return -1;
    for (int j = 1; j <= count; ++j) {
        const Instruction word = mProto->mCode[pc + j];
        const int b = GETARG_B(word);
        if (GET_OPCODE(word) == OP_MOVE && IsRegister(b))
            continue;
        if (GET_OPCODE(word) == OP_GETUPVAL && b < mProto->mNumUpvalues)
            continue;
        return -1;
    }
    return count;
}

bool LCodeChecker::CheckSpecific(OpCode op, Instruction i, int pc) const
{
    const int a = GETARG_A(i);
    const int b = GETARG_B(i);
    const int c = GETARG_C(i);
    switch (op) {
    case OP_LOADBOOL:
        return c == 0 || pc + 2 < mProto->mSizeCode;
    case OP_LOADNIL:
        return IsRegister(b);
    case OP_GETUPVAL:
    case OP_SETUPVAL:
        return b < mProto->mNumUpvalues;
    case OP_GETGLOBAL:
    case OP_SETGLOBAL:
        return mProto->mConstants[GETARG_Bx(i)].IsString();
    case OP_SELF:
        return IsRegister(a + 1);
    case OP_CONCAT:
        return b < c && IsRegister(c);
    case OP_JMP:
    case OP_FORLOOP:
    case OP_TFORPREP:
        return IsCodeIndex(pc + 1 + GETARG_sBx(i)) &&
               (op == OP_JMP || IsRegister(a + (op == OP_FORLOOP ? 2 : 1)));
    case OP_TFORLOOP:
        return IsRegister(a + c + 5); // the results and the iterator call's scratch slots
    case OP_CALL:
    case OP_TAILCALL:
        return CheckCallResults(op, i, pc);
    case OP_RETURN:
        return b == 0 || b == 1 || IsRegister(a + b - 2);
    case OP_SETLIST:
        return IsRegister(a + (GETARG_Bx(i) & (kFieldsPerFlush - 1)) + 1);
    default:
        return true;
    }
}

bool LCodeChecker::Check() const
{
    if (!CheckHeader())
        return false;
    for (int pc = 0; pc < mProto->mSizeCode; ++pc) {
        const Instruction i = mProto->mCode[pc];
        const OpCode op = GET_OPCODE(i);
        if (op >= kNumOpcodes)
            return false;
        if (!CheckOperandModes(op, i) || !CheckTestFollowedByJump(op, pc) ||
            !CheckSpecific(op, i, pc))
            return false;
        if (op == OP_CLOSURE) {
            const int skip = CheckClosure(i, pc);
            if (skip < 0)
                return false;
            pc += skip;
        }
    }
    return true;
}

} // namespace

int luaG_checkcode(const LProto* f)
{
    return LCodeChecker(f).Check() ? 1 : 0;
}
