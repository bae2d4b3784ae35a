#pragma once
// Compile-time state shared by the parser and the code generator: expression
// descriptors, the open blocks and the function being compiled.

#include "engine/script/lua/objects/LFunction.h"
#include "engine/script/lua/objects/LLimits.h"

struct LexState;

// Where an expression's value is (or will be).
enum LExpKind
{
    VVOID, // no value (an empty list)
    VNIL,
    VTRUE,
    VFALSE,
    VK,         // constant; mInfo = constant index
    VLOCAL,     // local variable; mInfo = register
    VUPVAL,     // upvalue; mInfo = upvalue index
    VGLOBAL,    // global; mInfo = constant index of its name
    VINDEXED,   // table field; mInfo = table register, mAux = RK of the key
    VJMP,       // comparison; mInfo = pc of its jump
    VRELOCABLE, // result of the instruction at mInfo, whose A is still to be set
    VNONRELOC,  // value in register mInfo
    VCALL       // call instruction at mInfo
};

struct LExpDesc
{
    LExpKind mKind;
    int mInfo;
    int mAux;
    int mTrueList;  // jumps taken when the expression is true
    int mFalseList; // jumps taken when it is false
};

// One open block. Loop blocks are the targets of `break n' and `continue n'.
struct LBlockCnt
{
    LBlockCnt* mPrevious;
    int mBreakList;     // jumps to the end of the loop
    int mContinueList;  // jumps to the loop's continuation point
    int mNumActiveVars; // active locals when the block opened
    bool mHasUpvalue;   // a local of this block is captured by a closure
    bool mIsLoop;
};

struct LFuncState
{
    LProto* mProto;
    LTable* mConstantMap;  // constant value -> index (nil keyed by the map itself)
    LFuncState* mPrevious; // enclosing function
    LexState* mLex;
    lua_State* mState;
    LBlockCnt* mBlock; // innermost open block
    int mPc;           // next instruction
    int mLastTarget;   // pc of the last jump target
    int mPendingJumps; // jumps to the next instruction
    int mFreeReg;      // first free register
    int mNumConstants;
    int mNumProtos;
    int mNumLocVars;
    int mNumActiveVars;
    LExpDesc mUpvalues[kMaxUpvalues];
    int mActiveVars[kMaxVars]; // indices into mProto->mLocVars
};
