#pragma once
// Function prototypes (compiled code with its constants and debug information),
// closures (Lua and C) and upvalues.

#include "engine/script/lua/objects/LValue.h"

#include <cstddef>
#include <cstdint>

using Instruction = uint32_t;
using lua_CFunction = int (*)(lua_State* L);

// A local variable's name and the pc range in which it is active.
struct LLocVar
{
    LString* mName;
    int mStartPc; // first pc where it is active
    int mEndPc;   // first pc where it is dead
};

struct LProto : LGCObject
{
    LValue* mConstants; // nil, number, string or wstring
    Instruction* mCode;
    LProto** mProtos; // functions defined inside this one
    int* mLineInfo;   // source line of each instruction
    LLocVar* mLocVars;
    LString** mUpvalueNames;
    LString* mSource;
    int mSizeUpvalueNames;
    int mSizeConstants;
    int mSizeCode;
    int mSizeLineInfo;
    int mSizeProtos;
    int mSizeLocVars;
    int mLineDefined;
    LGCObject* mGcList;
    uint8_t mNumUpvalues;
    uint8_t mNumParams;
    uint8_t mIsVararg;
    uint8_t mMaxStackSize;
};

// An upvalue: open while mValuePtr points into a stack, closed once it points at mValue.
// Open upvalues of a thread are chained through mNext on lua_State::mOpenUpval, sorted by
// stack level, highest first; closing moves them to the collector's list.
struct LUpval : LGCObject
{
    LValue* mValuePtr;
    LValue mValue;

    bool IsOpen() const { return mValuePtr != &mValue; }
};

// Common part of both closure kinds; the value tag is LUA_TFUNCTION for both.
struct LClosure : LGCObject
{
    uint8_t mIsC;
    uint8_t mNumUpvalues;
    LGCObject* mGcList;
    LValue mGlobals; // the globals table the closure runs with
};

struct LCClosure : LClosure
{
    lua_CFunction mFunction;
    // mNumUpvalues values follow the record.
    LValue* Upvalues() { return reinterpret_cast<LValue*>(this + 1); }
};

struct LLuaClosure : LClosure
{
    LProto* mProto;
    // mNumUpvalues upvalue pointers follow the record.
    LUpval** Upvalues() { return reinterpret_cast<LUpval**>(this + 1); }
};

inline LCClosure* AsCClosure(LClosure* c)
{
    return static_cast<LCClosure*>(c);
}
inline LLuaClosure* AsLuaClosure(LClosure* c)
{
    return static_cast<LLuaClosure*>(c);
}

// Creation: each object is linked on the collector's list of all objects.
LProto* luaF_newproto(lua_State* L);
LCClosure* luaF_newCclosure(lua_State* L, int numUpvalues, const LValue* globals);
LLuaClosure* luaF_newLclosure(lua_State* L, int numUpvalues, const LValue* globals);
// A closed upvalue holding nil, linked on the collector's list (the protected parser
// and the loader use open/closed upvalues through the call machinery instead).
LUpval* luaF_newupval(lua_State* L);

// Freeing (the collector unlinks first).
void luaF_freeproto(lua_State* L, LProto* f);
void luaF_freeclosure(lua_State* L, LClosure* c);
void luaF_freeupval(lua_State* L, LUpval* u);

// Name of the n-th local (1-based) active at pc, or null.
const char* luaF_getlocalname(const LProto* f, int localNumber, int pc);
