#pragma once
// Calls, protected calls, coroutines and the protected parser: the machinery that moves
// between Lua and C frames on a thread's stack.
//
// A call frame (LCallInfo) is pushed for every called function. Lua-to-Lua calls made
// by the virtual machine run in the same luaV_execute loop: the calling frame is marked
// kCallCalling and the loop continues with the callee, and with the caller again when
// the callee returns. Calls from C (luaD_call) enter a new loop.

#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/objects/LInputStream.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"
#include "engine/script/lua/runtime/LStack.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstddef>

// Stack offsets survive a reallocation of the stack; pointers do not.
inline std::ptrdiff_t luaD_savestack(lua_State* L, const LValue* p)
{
    return reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(L->mStack);
}
inline LValue* luaD_restorestack(lua_State* L, std::ptrdiff_t n)
{
    return reinterpret_cast<LValue*>(reinterpret_cast<char*>(L->mStack) + n);
}

// Frame index of a call frame; the frame array may move.
inline std::ptrdiff_t luaD_saveci(lua_State* L, const LCallInfo* ci)
{
    return ci - L->mBaseCi;
}
inline LCallInfo* luaD_restoreci(lua_State* L, std::ptrdiff_t n)
{
    return L->mBaseCi + n;
}

// What luaD_precall did.
enum class LPrecall
{
    kLua,   // a Lua frame was pushed; the caller runs it with luaV_execute
    kC,     // a C function ran; its results start at the function's old slot
    kYield, // a C function yielded
};

// Prepares a call of the value at func with the arguments above it up to the top.
// A C function is run at once and its results are moved into place (nresults of them,
// or all when LUA_MULTRET, with the top after the last); see LPrecall.
LPrecall luaD_precall(lua_State* L, LValue* func, int nresults);
// Finishes a call: moves the results starting at firstResult to the slot of the
// called function, wanted of them (padding with nil), pops the frame. Sets the top
// after the last result.
inline void luaD_poscall(lua_State* L, int wanted, LValue* firstResult);
// Calls the return hook; where the first result is afterwards (the stack may move).
LValue* luaD_rethook(lua_State* L, LValue* firstResult);
// Calls the value at func with the arguments above it; unprotected.
void luaD_call(lua_State* L, LValue* func, int nresults);
// Runs f(L, u) protected; on an error restores the frame, the C-call count and the
// handler, puts the error value at oldTop and returns the status.
int luaD_pcall(lua_State* L, LProtectedFunction f, void* u, std::ptrdiff_t oldTop,
               std::ptrdiff_t errFunc);
// Compiles (or loads, when binary) a chunk and pushes its closure; the status.
int luaD_protectedparser(lua_State* L, LInputStream* z, int binary);
// Calls the hook for event `event' at line `line' when one is set.
void luaD_callhook(lua_State* L, int event, int line);
// Resizes the call-frame array to newSize frames.
void luaD_reallocCI(lua_State* L, int newSize);
// Grows the call-frame array, raising "stack overflow" past the limit.
void luaD_growCI(lua_State* L);
// Writes the error value of a failed call for `status' at oldTop.
void luaD_seterrorobj(lua_State* L, int status, LValue* oldTop);

inline void luaD_poscall(lua_State* L, int wanted, LValue* firstResult)
{
    if (L->mHookMask & LUA_MASKRET) {
        firstResult = luaD_rethook(L, firstResult);
    }
    LValue* res = L->mBase - 1; // where the function was
    L->mCi--;
    L->mBase = L->mCi->mBase;
    const LValue* lastResult = L->mTop;
    while (wanted != 0 && firstResult < lastResult) {
        *res++ = *firstResult++;
        wanted--;
    }
    while (wanted-- > 0) {
        (res++)->SetNil();
    }
    L->mTop = res;
}

// Pushes the frame of a call to the Lua function at func, whose prototype is p (its
// varargs already packed): the frame's registers above the arguments become nil.
// Runs no hook.
inline void luaD_pushluaframe(lua_State* L, LValue* func, const LProto* p)
{
    const std::ptrdiff_t funcOffset = luaD_savestack(L, func);
    luaD_checkstack(L, p->mMaxStackSize);
    if (L->mCi == L->mEndCi) {
        luaD_growCI(L);
    }
    LCallInfo* ci = ++L->mCi;
    LValue* base = luaD_restorestack(L, funcOffset) + 1;
    L->mBase = ci->mBase = base;
    ci->mTop = base + p->mMaxStackSize;
    ci->mSavedPc = p->mCode;
    ci->mPc = nullptr;
    ci->mTailCalls = 0;
    ci->mState = kCallIsLua | kCallSavedPc;
    for (LValue* slot = L->mTop; slot < ci->mTop; ++slot) {
        slot->SetNil();
    }
    L->mTop = ci->mTop;
}

// The common call from the interpreter loop: a Lua function without varargs while no
// call hook is set gets its frame pushed here (true). False when luaD_precall must
// handle the call.
inline bool luaD_precallplain(lua_State* L, LValue* func)
{
    if (!func->IsFunction() || func->AsClosure()->mIsC || (L->mHookMask & LUA_MASKCALL)) {
        return false;
    }
    const LProto* p = AsLuaClosure(func->AsClosure())->mProto;
    if (p->mIsVararg) {
        return false;
    }
    luaD_pushluaframe(L, func, p);
    return true;
}

// Whether luaF_close(L, level) has an upvalue to close.
inline bool luaF_hasopen(lua_State* L, const LValue* level)
{
    const auto* first = static_cast<const LUpval*>(L->mOpenUpval);
    return first != nullptr && first->mValuePtr >= level;
}

// Open upvalue for the stack slot `level', created when absent.
LUpval* luaF_findupval(lua_State* L, LValue* level);
// Closes every open upvalue at `level' or above: each takes its own copy of the value.
void luaF_close(lua_State* L, LValue* level);
