#include "engine/script/lua/compiler/LCodeGen.h"

#include "engine/script/lua/compiler/LLexer.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LTable.h"

#include <cstdint>
#include <cstring>

namespace {

bool HasJumps(const LExpDesc* e)
{
    return e->mTrueList != e->mFalseList;
}

// Where the jump at pc goes, or kNoJump at the end of a list.
int JumpTarget(LFuncState* fs, int pc)
{
    const int offset = GETARG_sBx(fs->mProto->mCode[pc]);
    return offset == kNoJump ? kNoJump : pc + 1 + offset;
}

void SetJumpTarget(LFuncState* fs, int pc, int target)
{
    const int offset = target - (pc + 1);
    if (offset > kMaxArgSBx || offset < -kMaxArgSBx)
        luaX_syntaxerror(fs->mLex, "control structure too long");
    SETARG_sBx(&fs->mProto->mCode[pc], offset);
}

// The instruction that decides a jump: the test before it, or the jump itself.
Instruction* JumpControl(LFuncState* fs, int pc)
{
    Instruction* code = fs->mProto->mCode;
    if (pc >= 1 && testOpMode(GET_OPCODE(code[pc - 1]), kModeTest))
        return &code[pc - 1];
    return &code[pc];
}

// True when some jump of the list does not already produce its value (it is not a
// TEST whose C equals `cond').
bool NeedsValue(LFuncState* fs, int list, int cond)
{
    for (; list != kNoJump; list = JumpTarget(fs, list)) {
        const Instruction i = *JumpControl(fs, list);
        if (GET_OPCODE(i) != OP_TEST || GETARG_C(i) != cond)
            return true;
    }
    return false;
}

void SetTestRegister(Instruction* i, int reg)
{
    if (reg == kNoReg)
        reg = GETARG_B(*i);
    SETARG_A(i, reg);
}

// Patches a jump list: TESTs that jump when true go to trueTarget (copying their value
// into trueReg), TESTs that jump when false to falseTarget (into falseReg), other
// jumps to defaultTarget.
void PatchListAux(LFuncState* fs, int list, int trueTarget, int trueReg, int falseTarget,
                  int falseReg, int defaultTarget)
{
    while (list != kNoJump) {
        const int next = JumpTarget(fs, list);
        Instruction* control = JumpControl(fs, list);
        if (GET_OPCODE(*control) != OP_TEST) {
            SetJumpTarget(fs, list, defaultTarget);
        } else if (GETARG_C(*control) != 0) {
            SetTestRegister(control, trueReg);
            SetJumpTarget(fs, list, trueTarget);
        } else {
            SetTestRegister(control, falseReg);
            SetJumpTarget(fs, list, falseTarget);
        }
        list = next;
    }
}

void DischargePendingJumps(LFuncState* fs)
{
    PatchListAux(fs, fs->mPendingJumps, fs->mPc, kNoReg, fs->mPc, kNoReg, fs->mPc);
    fs->mPendingJumps = kNoJump;
}

void FreeRegister(LFuncState* fs, int reg)
{
    if (reg >= fs->mNumActiveVars && reg < kMaxStack)
        --fs->mFreeReg;
}

void FreeExp(LFuncState* fs, LExpDesc* e)
{
    if (e->mKind == VNONRELOC)
        FreeRegister(fs, e->mInfo);
}

int AddConstant(LFuncState* fs, const LValue* key, const LValue* value)
{
    const LValue* found = luaH_get(fs->mConstantMap, key);
    if (found->IsNumber())
        return static_cast<int>(found->AsNumber());
    LProto* f = fs->mProto;
    const int oldSize = f->mSizeConstants;
    f->mConstants = luaK_grow(fs, f->mConstants, fs->mNumConstants, &f->mSizeConstants, kMaxArgBx,
                              "constant table overflow");
    for (int i = oldSize; i < f->mSizeConstants; ++i)
        f->mConstants[i].SetNil();
    f->mConstants[fs->mNumConstants] = *value;
    luaH_set(fs->mState, fs->mConstantMap, key)->SetNumber(fs->mNumConstants);
    return fs->mNumConstants++;
}

int NilConstant(LFuncState* fs)
{
    LValue key;
    key.SetTable(fs->mConstantMap);
    LValue value;
    value.SetNil();
    return AddConstant(fs, &key, &value);
}

int CondJump(LFuncState* fs, OpCode op, int a, int b, int c)
{
    luaK_codeABC(fs, op, a, b, c);
    return luaK_jump(fs);
}

int CodeLabel(LFuncState* fs, int a, int b, int jump)
{
    luaK_getlabel(fs); // these instructions may be jump targets
    return luaK_codeABC(fs, OP_LOADBOOL, a, b, jump);
}

void Discharge2Reg(LFuncState* fs, LExpDesc* e, int reg)
{
    luaK_dischargevars(fs, e);
    switch (e->mKind) {
    case VNIL:
        luaK_nil(fs, reg, 1);
        break;
    case VFALSE:
    case VTRUE:
        luaK_codeABC(fs, OP_LOADBOOL, reg, e->mKind == VTRUE, 0);
        break;
    case VK:
        luaK_codeABx(fs, OP_LOADK, reg, e->mInfo);
        break;
    case VRELOCABLE:
        SETARG_A(&luaK_getcode(fs, e), reg);
        break;
    case VNONRELOC:
        if (reg != e->mInfo)
            luaK_codeABC(fs, OP_MOVE, reg, e->mInfo, 0);
        break;
    default:
        return; // VVOID or VJMP: nothing to place
    }
    e->mInfo = reg;
    e->mKind = VNONRELOC;
}

void Discharge2AnyReg(LFuncState* fs, LExpDesc* e)
{
    if (e->mKind != VNONRELOC) {
        luaK_reserveregs(fs, 1);
        Discharge2Reg(fs, e, fs->mFreeReg - 1);
    }
}

// Places the value of e, jumps included, in register reg.
void Exp2Reg(LFuncState* fs, LExpDesc* e, int reg)
{
    Discharge2Reg(fs, e, reg);
    if (e->mKind == VJMP)
        luaK_prependjump(fs, &e->mTrueList, e->mInfo);
    if (HasJumps(e)) {
        int loadFalse = kNoJump;
        int loadTrue = kNoJump;
        if (NeedsValue(fs, e->mTrueList, 1) || NeedsValue(fs, e->mFalseList, 0)) {
            const int skip = e->mKind == VJMP ? kNoJump : luaK_jump(fs);
            loadFalse = CodeLabel(fs, reg, 0, 1);
            loadTrue = CodeLabel(fs, reg, 1, 0);
            luaK_patchtohere(fs, skip);
        }
        const int end = luaK_getlabel(fs);
        PatchListAux(fs, e->mFalseList, loadFalse, kNoReg, end, reg, loadFalse);
        PatchListAux(fs, e->mTrueList, end, reg, loadTrue, kNoReg, loadTrue);
    }
    e->mFalseList = e->mTrueList = kNoJump;
    e->mInfo = reg;
    e->mKind = VNONRELOC;
}

// Flips the condition of a comparison.
void InvertJump(LFuncState* fs, LExpDesc* e)
{
    Instruction* control = JumpControl(fs, e->mInfo);
    SETARG_A(control, GETARG_A(*control) == 0 ? 1 : 0);
}

int JumpOnCond(LFuncState* fs, LExpDesc* e, int cond)
{
    if (e->mKind == VRELOCABLE) {
        const Instruction ie = luaK_getcode(fs, e);
        if (GET_OPCODE(ie) == OP_NOT) {
            --fs->mPc; // drop the NOT and test its operand the other way
            return CondJump(fs, OP_TEST, kNoReg, GETARG_B(ie), cond == 0 ? 1 : 0);
        }
    }
    Discharge2AnyReg(fs, e);
    FreeExp(fs, e);
    return CondJump(fs, OP_TEST, kNoReg, e->mInfo, cond);
}

void CodeNot(LFuncState* fs, LExpDesc* e)
{
    luaK_dischargevars(fs, e);
    switch (e->mKind) {
    case VNIL:
    case VFALSE:
        e->mKind = VTRUE;
        break;
    case VK:
    case VTRUE:
        e->mKind = VFALSE;
        break;
    case VJMP:
        InvertJump(fs, e);
        break;
    case VRELOCABLE:
    case VNONRELOC:
        Discharge2AnyReg(fs, e);
        FreeExp(fs, e);
        e->mInfo = luaK_codeABC(fs, OP_NOT, 0, e->mInfo, 0);
        e->mKind = VRELOCABLE;
        break;
    default:
        break;
    }
    const int swap = e->mFalseList;
    e->mFalseList = e->mTrueList;
    e->mTrueList = swap;
}

void CodeBinaryOp(LFuncState* fs, LExpDesc* result, BinOpr op, int o1, int o2)
{
    if (op <= OPR_POW) {
        const OpCode opcode = static_cast<OpCode>(static_cast<int>(OP_ADD) + static_cast<int>(op));
        result->mInfo = luaK_codeABC(fs, opcode, 0, o1, o2);
        result->mKind = VRELOCABLE;
        return;
    }
    static const OpCode kCompareOps[] = {OP_EQ, OP_EQ, OP_LT, OP_LE, OP_LT, OP_LE};
    int cond = 1;
    if (op >= OPR_GT) {
        const int swap = o1; // a > b is b < a
        o1 = o2;
        o2 = swap;
    } else if (op == OPR_NE) {
        cond = 0;
    }
    result->mInfo = CondJump(fs, kCompareOps[op - OPR_NE], cond, o1, o2);
    result->mKind = VJMP;
}

void PosfixConcat(LFuncState* fs, LExpDesc* e1, LExpDesc* e2)
{
    luaK_exp2val(fs, e2);
    if (e2->mKind == VRELOCABLE && GET_OPCODE(luaK_getcode(fs, e2)) == OP_CONCAT) {
        // e2 is itself a concatenation starting right after e1: extend it.
        FreeExp(fs, e1);
        SETARG_B(&luaK_getcode(fs, e2), e1->mInfo);
        e1->mKind = e2->mKind;
        e1->mInfo = e2->mInfo;
        return;
    }
    luaK_exp2nextreg(fs, e2);
    FreeExp(fs, e2);
    FreeExp(fs, e1);
    e1->mInfo = luaK_codeABC(fs, OP_CONCAT, 0, e1->mInfo, e2->mInfo);
    e1->mKind = VRELOCABLE;
}

} // namespace

void* luaK_growvector(LFuncState* fs, void* block, int count, int* size, std::size_t elementSize,
                      int limit, const char* overflowMessage)
{
    if (count < *size)
        return block;
    if (count >= limit)
        luaX_syntaxerror(fs->mLex, overflowMessage);
    int64_t newSize = *size < 2 ? 4 : static_cast<int64_t>(*size) * 2;
    if (newSize > limit)
        newSize = limit;
    char* grown = static_cast<char*>(luaM_realloc(fs->mState, block,
                                                  static_cast<std::size_t>(*size) * elementSize,
                                                  static_cast<std::size_t>(newSize) * elementSize));
    std::memset(grown + static_cast<std::size_t>(*size) * elementSize, 0,
                static_cast<std::size_t>(newSize - *size) * elementSize);
    *size = static_cast<int>(newSize);
    return grown;
}

int luaK_code(LFuncState* fs, Instruction i, int line)
{
    LProto* f = fs->mProto;
    DischargePendingJumps(fs);
    f->mCode = luaK_grow(fs, f->mCode, fs->mPc, &f->mSizeCode, kMaxIntVector, "code size overflow");
    f->mCode[fs->mPc] = i;
    f->mLineInfo = luaK_grow(fs, f->mLineInfo, fs->mPc, &f->mSizeLineInfo, kMaxIntVector,
                             "code size overflow");
    f->mLineInfo[fs->mPc] = line;
    return fs->mPc++;
}

int luaK_codeABC(LFuncState* fs, OpCode o, int a, int b, int c)
{
    return luaK_code(fs, CREATE_ABC(o, a, b, c), fs->mLex->mLastLine);
}

int luaK_codeABx(LFuncState* fs, OpCode o, int a, int bx)
{
    return luaK_code(fs, CREATE_ABx(o, a, bx), fs->mLex->mLastLine);
}

void luaK_fixline(LFuncState* fs, int line)
{
    fs->mProto->mLineInfo[fs->mPc - 1] = line;
}

void luaK_checkstack(LFuncState* fs, int n)
{
    const int newStack = fs->mFreeReg + n;
    if (newStack > fs->mProto->mMaxStackSize) {
        if (newStack >= kMaxStack)
            luaX_syntaxerror(fs->mLex, "function or expression too complex");
        fs->mProto->mMaxStackSize = static_cast<uint8_t>(newStack);
    }
}

void luaK_reserveregs(LFuncState* fs, int n)
{
    luaK_checkstack(fs, n);
    fs->mFreeReg += n;
}

void luaK_nil(LFuncState* fs, int from, int n)
{
    if (fs->mPc > fs->mLastTarget && fs->mPc > 0) {
        // No jump lands here: a LOADNIL just before may be extended.
        Instruction* previous = &fs->mProto->mCode[fs->mPc - 1];
        if (GET_OPCODE(*previous) == OP_LOADNIL) {
            const int pfrom = GETARG_A(*previous);
            const int pto = GETARG_B(*previous);
            if (pfrom <= from && from <= pto + 1) {
                if (from + n - 1 > pto)
                    SETARG_B(previous, from + n - 1);
                return;
            }
        }
    }
    luaK_codeABC(fs, OP_LOADNIL, from, from + n - 1, 0);
}

int luaK_stringK(LFuncState* fs, LString* s)
{
    LValue k;
    k.SetString(s);
    return AddConstant(fs, &k, &k);
}

int luaK_wstringK(LFuncState* fs, LString* ws)
{
    LValue k;
    k.SetWString(ws);
    return AddConstant(fs, &k, &k);
}

int luaK_numberK(LFuncState* fs, double r)
{
    LValue k;
    k.SetNumber(r);
    return AddConstant(fs, &k, &k);
}

int luaK_jump(LFuncState* fs)
{
    const int pending = fs->mPendingJumps;
    fs->mPendingJumps = kNoJump;
    int j = luaK_codeAsBx(fs, OP_JMP, 0, kNoJump);
    luaK_concat(fs, &j, pending);
    return j;
}

int luaK_getlabel(LFuncState* fs)
{
    fs->mLastTarget = fs->mPc;
    return fs->mPc;
}

void luaK_patchlist(LFuncState* fs, int list, int target)
{
    if (target == fs->mPc)
        luaK_patchtohere(fs, list);
    else
        PatchListAux(fs, list, target, kNoReg, target, kNoReg, target);
}

void luaK_patchtohere(LFuncState* fs, int list)
{
    luaK_getlabel(fs);
    luaK_concat(fs, &fs->mPendingJumps, list);
}

void luaK_concat(LFuncState* fs, int* l1, int l2)
{
    if (l2 == kNoJump)
        return;
    if (*l1 == kNoJump) {
        *l1 = l2;
        return;
    }
    int list = *l1;
    for (int next; (next = JumpTarget(fs, list)) != kNoJump;)
        list = next;
    SetJumpTarget(fs, list, l2);
}

void luaK_prependjump(LFuncState* fs, int* list, int jump)
{
    luaK_concat(fs, &jump, *list);
    *list = jump;
}

void luaK_setcallreturns(LFuncState* fs, LExpDesc* e, int nresults)
{
    if (e->mKind != VCALL)
        return;
    SETARG_C(&luaK_getcode(fs, e), nresults + 1);
    if (nresults == 1) {
        e->mKind = VNONRELOC;
        e->mInfo = GETARG_A(luaK_getcode(fs, e));
    }
}

void luaK_dischargevars(LFuncState* fs, LExpDesc* e)
{
    switch (e->mKind) {
    case VLOCAL:
        e->mKind = VNONRELOC;
        break;
    case VUPVAL:
        e->mInfo = luaK_codeABC(fs, OP_GETUPVAL, 0, e->mInfo, 0);
        e->mKind = VRELOCABLE;
        break;
    case VGLOBAL:
        e->mInfo = luaK_codeABx(fs, OP_GETGLOBAL, 0, e->mInfo);
        e->mKind = VRELOCABLE;
        break;
    case VINDEXED:
        FreeRegister(fs, e->mAux);
        FreeRegister(fs, e->mInfo);
        e->mInfo = luaK_codeABC(fs, OP_GETTABLE, 0, e->mInfo, e->mAux);
        e->mKind = VRELOCABLE;
        break;
    case VCALL:
        luaK_setcallreturns(fs, e, 1);
        break;
    default:
        break;
    }
}

void luaK_exp2nextreg(LFuncState* fs, LExpDesc* e)
{
    luaK_dischargevars(fs, e);
    FreeExp(fs, e);
    luaK_reserveregs(fs, 1);
    Exp2Reg(fs, e, fs->mFreeReg - 1);
}

int luaK_exp2anyreg(LFuncState* fs, LExpDesc* e)
{
    luaK_dischargevars(fs, e);
    if (e->mKind == VNONRELOC) {
        if (!HasJumps(e))
            return e->mInfo;
        if (e->mInfo >= fs->mNumActiveVars) { // a temporary: the jumps may land in it
            Exp2Reg(fs, e, e->mInfo);
            return e->mInfo;
        }
    }
    luaK_exp2nextreg(fs, e);
    return e->mInfo;
}

void luaK_exp2val(LFuncState* fs, LExpDesc* e)
{
    if (HasJumps(e))
        luaK_exp2anyreg(fs, e);
    else
        luaK_dischargevars(fs, e);
}

int luaK_exp2RK(LFuncState* fs, LExpDesc* e)
{
    luaK_exp2val(fs, e);
    if (e->mKind == VNIL && fs->mNumConstants <= kMaxIndexRK) {
        e->mInfo = NilConstant(fs);
        e->mKind = VK;
        return e->mInfo + kMaxStack;
    }
    if (e->mKind == VK && e->mInfo <= kMaxIndexRK)
        return e->mInfo + kMaxStack;
    return luaK_exp2anyreg(fs, e);
}

void luaK_storevar(LFuncState* fs, LExpDesc* var, LExpDesc* e)
{
    switch (var->mKind) {
    case VLOCAL:
        FreeExp(fs, e);
        Exp2Reg(fs, e, var->mInfo);
        return;
    case VUPVAL:
        luaK_codeABC(fs, OP_SETUPVAL, luaK_exp2anyreg(fs, e), var->mInfo, 0);
        break;
    case VGLOBAL:
        luaK_codeABx(fs, OP_SETGLOBAL, luaK_exp2anyreg(fs, e), var->mInfo);
        break;
    case VINDEXED:
        luaK_codeABC(fs, OP_SETTABLE, var->mInfo, var->mAux, luaK_exp2RK(fs, e));
        break;
    default:
        break;
    }
    FreeExp(fs, e);
}

void luaK_self(LFuncState* fs, LExpDesc* e, LExpDesc* key)
{
    luaK_exp2anyreg(fs, e);
    FreeExp(fs, e);
    const int func = fs->mFreeReg;
    luaK_reserveregs(fs, 2);
    luaK_codeABC(fs, OP_SELF, func, e->mInfo, luaK_exp2RK(fs, key));
    FreeExp(fs, key);
    e->mInfo = func;
    e->mKind = VNONRELOC;
}

void luaK_indexed(LFuncState* fs, LExpDesc* t, LExpDesc* k)
{
    t->mAux = luaK_exp2RK(fs, k);
    t->mKind = VINDEXED;
}

void luaK_goiftrue(LFuncState* fs, LExpDesc* e)
{
    luaK_dischargevars(fs, e);
    int pc;
    switch (e->mKind) {
    case VK:
    case VTRUE:
        pc = kNoJump; // always true
        break;
    case VFALSE:
        pc = luaK_jump(fs); // always false
        break;
    case VJMP:
        InvertJump(fs, e);
        pc = e->mInfo;
        break;
    default:
        pc = JumpOnCond(fs, e, 0);
        break;
    }
    luaK_prependjump(fs, &e->mFalseList, pc);
    luaK_patchtohere(fs, e->mTrueList);
    e->mTrueList = kNoJump;
}

void luaK_goiffalse(LFuncState* fs, LExpDesc* e)
{
    luaK_dischargevars(fs, e);
    int pc;
    switch (e->mKind) {
    case VNIL:
    case VFALSE:
        pc = kNoJump; // always false
        break;
    case VTRUE:
        pc = luaK_jump(fs); // always true
        break;
    case VJMP:
        pc = e->mInfo;
        break;
    default:
        pc = JumpOnCond(fs, e, 1);
        break;
    }
    luaK_prependjump(fs, &e->mTrueList, pc);
    luaK_patchtohere(fs, e->mFalseList);
    e->mFalseList = kNoJump;
}

void luaK_prefix(LFuncState* fs, UnOpr op, LExpDesc* e)
{
    if (op == OPR_NOT) {
        CodeNot(fs, e);
        return;
    }
    luaK_exp2val(fs, e);
    if (e->mKind == VK && fs->mProto->mConstants[e->mInfo].IsNumber()) {
        e->mInfo = luaK_numberK(fs, -fs->mProto->mConstants[e->mInfo].AsNumber());
        return;
    }
    luaK_exp2anyreg(fs, e);
    FreeExp(fs, e);
    e->mInfo = luaK_codeABC(fs, OP_UNM, 0, e->mInfo, 0);
    e->mKind = VRELOCABLE;
}

void luaK_infix(LFuncState* fs, BinOpr op, LExpDesc* v)
{
    switch (op) {
    case OPR_AND:
        luaK_goiftrue(fs, v);
        break;
    case OPR_OR:
        luaK_goiffalse(fs, v);
        break;
    case OPR_CONCAT:
        luaK_exp2nextreg(fs, v); // operands must be in consecutive registers
        break;
    default:
        luaK_exp2RK(fs, v);
        break;
    }
}

void luaK_posfix(LFuncState* fs, BinOpr op, LExpDesc* e1, LExpDesc* e2)
{
    switch (op) {
    case OPR_AND:
        luaK_dischargevars(fs, e2);
        luaK_concat(fs, &e2->mFalseList, e1->mFalseList);
        *e1 = *e2;
        break;
    case OPR_OR:
        luaK_dischargevars(fs, e2);
        luaK_concat(fs, &e2->mTrueList, e1->mTrueList);
        *e1 = *e2;
        break;
    case OPR_CONCAT:
        PosfixConcat(fs, e1, e2);
        break;
    default: {
        const int o1 = luaK_exp2RK(fs, e1);
        const int o2 = luaK_exp2RK(fs, e2);
        FreeExp(fs, e2);
        FreeExp(fs, e1);
        CodeBinaryOp(fs, e1, op, o1, o2);
        break;
    }
    }
}
