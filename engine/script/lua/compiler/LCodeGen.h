#pragma once
// The code generator driven by the parser: it appends instructions, places values in
// registers or constants, and keeps jump lists (chained through the jumps' own offset
// fields) until their targets are known. The only constant folding is unary minus on
// a number constant.

#include "engine/script/lua/compiler/LFuncState.h"
#include "engine/script/lua/compiler/LOpcodes.h"

// Operators in luaK_posfix numbering; 0..8 map to opcode OP_ADD + number.
enum BinOpr
{
    OPR_ADD,
    OPR_SUB,
    OPR_MULT,
    OPR_DIV,
    OPR_BAND,
    OPR_BOR,
    OPR_SHL,
    OPR_SHR,
    OPR_POW,
    OPR_CONCAT,
    OPR_NE,
    OPR_EQ,
    OPR_LT,
    OPR_LE,
    OPR_GT,
    OPR_GE,
    OPR_AND,
    OPR_OR,
    OPR_NOBINOPR
};

enum UnOpr
{
    OPR_MINUS,
    OPR_NOT,
    OPR_NOUNOPR
};

inline void init_exp(LExpDesc* e, LExpKind kind, int info)
{
    e->mKind = kind;
    e->mInfo = info;
    e->mAux = 0;
    e->mTrueList = kNoJump;
    e->mFalseList = kNoJump;
}

int luaK_code(LFuncState* fs, Instruction i, int line);
int luaK_codeABC(LFuncState* fs, OpCode o, int a, int b, int c);
int luaK_codeABx(LFuncState* fs, OpCode o, int a, int bx);
inline int luaK_codeAsBx(LFuncState* fs, OpCode o, int a, int sbx)
{
    return luaK_codeABx(fs, o, a, sbx + kMaxArgSBx);
}
// Sets the source line of the last instruction.
void luaK_fixline(LFuncState* fs, int line);
inline Instruction& luaK_getcode(LFuncState* fs, const LExpDesc* e)
{
    return fs->mProto->mCode[e->mInfo];
}

// Registers.
void luaK_checkstack(LFuncState* fs, int n);
void luaK_reserveregs(LFuncState* fs, int n);
// Sets n registers from `from' to nil (merging with a LOADNIL just before when possible).
void luaK_nil(LFuncState* fs, int from, int n);

// Constants.
int luaK_stringK(LFuncState* fs, LString* s);
int luaK_wstringK(LFuncState* fs, LString* ws);
int luaK_numberK(LFuncState* fs, double r);

// Jumps.
int luaK_jump(LFuncState* fs);
// Marks the current pc as a jump target and returns it.
int luaK_getlabel(LFuncState* fs);
void luaK_patchlist(LFuncState* fs, int list, int target);
void luaK_patchtohere(LFuncState* fs, int list);
// Appends list l2 to the end of list l1 (walks l1).
void luaK_concat(LFuncState* fs, int* l1, int l2);
// Adds a new jump (with whatever short list it heads) to the front of *list, so that
// long lists built one jump at a time cost linear time.
void luaK_prependjump(LFuncState* fs, int* list, int jump);

// Expressions.
void luaK_dischargevars(LFuncState* fs, LExpDesc* e);
int luaK_exp2anyreg(LFuncState* fs, LExpDesc* e);
void luaK_exp2nextreg(LFuncState* fs, LExpDesc* e);
void luaK_exp2val(LFuncState* fs, LExpDesc* e);
int luaK_exp2RK(LFuncState* fs, LExpDesc* e);
void luaK_self(LFuncState* fs, LExpDesc* e, LExpDesc* key);
void luaK_indexed(LFuncState* fs, LExpDesc* t, LExpDesc* k);
void luaK_goiftrue(LFuncState* fs, LExpDesc* e);
void luaK_goiffalse(LFuncState* fs, LExpDesc* e);
void luaK_storevar(LFuncState* fs, LExpDesc* var, LExpDesc* e);
// Number of results of a call expression (LUA_MULTRET for all).
void luaK_setcallreturns(LFuncState* fs, LExpDesc* e, int nresults);
void luaK_prefix(LFuncState* fs, UnOpr op, LExpDesc* e);
void luaK_infix(LFuncState* fs, BinOpr op, LExpDesc* v);
void luaK_posfix(LFuncState* fs, BinOpr op, LExpDesc* v1, LExpDesc* v2);

// Grows a vector of the function being compiled so that index `count' fits; new
// elements are zeroed. Raises the syntax error `overflowMessage' at `limit' elements.
void* luaK_growvector(LFuncState* fs, void* block, int count, int* size, std::size_t elementSize,
                      int limit, const char* overflowMessage);
template <typename T>
T* luaK_grow(LFuncState* fs, T* block, int count, int* size, int limit, const char* overflowMessage)
{
    return static_cast<T*>(
        luaK_growvector(fs, block, count, size, sizeof(T), limit, overflowMessage));
}
