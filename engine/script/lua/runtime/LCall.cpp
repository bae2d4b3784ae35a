#include "engine/script/lua/runtime/LCall.h"

#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/chunk/LChunkLoader.h"
#include "engine/script/lua/compiler/LOpcodes.h"
#include "engine/script/lua/compiler/LParser.h"
#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/runtime/LCollector.h"
#include "engine/script/lua/runtime/LDebugInfo.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"
#include "engine/script/lua/runtime/LRunError.h"
#include "engine/script/lua/runtime/LStack.h"
#include "engine/script/lua/runtime/LVirtualMachine.h"

namespace {

// Nesting of coroutine resumes on the C stack: each resume runs a VM loop of its own,
// so a chain of coroutines resuming each other is bounded like nested C calls.
thread_local int sResumeDepth = 0;

// ---------------------------------------------------------------------------------
// Call frames
// ---------------------------------------------------------------------------------

} // namespace

void luaD_reallocCI(lua_State* L, int newSize)
{
    LCallInfo* old = L->mBaseCi;
    L->mBaseCi = luaM_reallocvector(L, L->mBaseCi, L->mSizeCi, newSize);
    L->mSizeCi = static_cast<uint16_t>(newSize);
    L->mCi = (L->mCi - old) + L->mBaseCi;
    L->mEndCi = L->mBaseCi + newSize - 1;
}

namespace {

LCallInfo* NextCi(lua_State* L)
{
    if (L->mCi == L->mEndCi) {
        luaD_growCI(L);
    }
    return ++L->mCi;
}

// After an error has been handled: give back frames beyond the limit.
void RestoreStackLimit(lua_State* L)
{
    if (L->mSizeCi > kMaxCalls) {
        int inUse = static_cast<int>(L->mCi - L->mBaseCi);
        if (inUse + 1 < kMaxCalls) {
            luaD_reallocCI(L, kMaxCalls);
        }
    }
}

// Replaces a called value that is not a function by its "__call" handler, shifting the
// arguments up to make the value the first argument.
LValue* TryFuncTM(lua_State* L, LValue* func)
{
    std::ptrdiff_t funcr = luaD_savestack(L, func);
    const LValue* tm = luaT_gettmbyobj(L, func, TM_CALL);
    if (!tm->IsFunction()) {
        luaG_typeerror(L, func, "call");
    }
    LValue handler = *tm;
    luaD_checkstack(L, 1);
    func = luaD_restorestack(L, funcr);
    for (LValue* p = L->mTop; p > func; p--) {
        *p = *(p - 1);
    }
    L->mTop++;
    *func = handler;
    return func;
}

// Packs the arguments beyond the parameters into the table `arg' (fields 1..n and
// "n" = n) placed as the last parameter; missing parameters become nil.
void AdjustVarargs(lua_State* L, int numParams, LValue* base)
{
    int actual = static_cast<int>(L->mTop - base);
    if (actual < numParams) {
        luaD_checkstack(L, numParams - actual);
        for (; actual < numParams; actual++) {
            (L->mTop++)->SetNil();
        }
    }
    int extra = actual - numParams;
    LTable* arg = luaH_new(L, extra, 1);
    LValue* first = L->mTop - extra;
    for (int i = 0; i < extra; i++) {
        *luaH_setnum(L, arg, i + 1) = first[i];
    }
    LString* n = luaS_new(L, "n");
    luaH_setstr(L, arg, n)->SetNumber(extra);
    L->mTop = first;
    L->mTop->SetTable(arg);
    luaD_incrtop(L);
}

// ---------------------------------------------------------------------------------
// Coroutines
// ---------------------------------------------------------------------------------

void Resume(lua_State* L, void* ud)
{
    int nargs = *static_cast<int*>(ud);
    LCallInfo* ci = L->mCi;
    if (ci == L->mBaseCi) {
        // Start: the function lies below the arguments.
        if (luaD_precall(L, L->mTop - (nargs + 1), LUA_MULTRET) != LPrecall::kLua) {
            return; // a C function ran (or yielded)
        }
    } else {
        ci->mState &= ~kCallYielded;
        if (ci->mState & kCallIsC) {
            // Finish the interrupted call instruction of the Lua caller with the values
            // passed to resume as the C function's results.
            const Instruction* callPc = (ci - 1)->mSavedPc - 1;
            int nresults = GETARG_C(*callPc) - 1;
            luaD_poscall(L, nresults, L->mTop - nargs);
            if (nresults >= 0) {
                L->mTop = L->mCi->mTop;
            }
        }
    }
    LValue* firstResult = luaV_execute(L);
    if (firstResult != nullptr) {
        luaD_poscall(L, LUA_MULTRET, firstResult); // the coroutine has finished
    }
}

// Leaves the message on the coroutine's stack. A dead coroutine's stack is emptied
// first; a running one keeps what its frames hold.
int ResumeError(lua_State* L, const char* message, bool dead)
{
    if (dead) {
        L->mTop = L->mCi->mBase;
    }
    L->mTop->SetString(luaS_new(L, message));
    luaD_incrtop(L);
    return LUA_ERRRUN;
}

// ---------------------------------------------------------------------------------
// Calls and parsing under protection
// ---------------------------------------------------------------------------------

struct CallArgs
{
    LValue* mFunc;
    int mNumResults;
};

struct ParserArgs
{
    LInputStream* mStream;
    LTextBuffer mBuffer;
    int mBinary;
};

void ProtectedParse(lua_State* L, void* ud)
{
    auto* p = static_cast<ParserArgs*>(ud);
    LProto* proto;
    if (p->mBinary) {
        proto = luaU_undump(L, p->mStream, &p->mBuffer);
    } else {
        proto = luaY_parser(L, p->mStream, &p->mBuffer);
    }
    LLuaClosure* cl = luaF_newLclosure(L, 0, &L->mGlobals);
    cl->mProto = proto;
    L->mTop->SetClosure(cl);
    luaD_incrtop(L);
}

} // namespace

void luaD_growCI(lua_State* L)
{
    if (L->mSizeCi > kMaxCalls) {
        luaD_throw(L, LUA_ERRERR); // overflow while handling an overflow
    }
    luaD_reallocCI(L, 2 * L->mSizeCi);
    if (L->mSizeCi > kMaxCalls) {
        luaG_runerror(L, "stack overflow");
    }
}

void luaD_seterrorobj(lua_State* L, int status, LValue* oldTop)
{
    switch (status) {
    case LUA_ERRMEM:
        oldTop->SetString(luaS_new(L, "not enough memory"));
        break;
    case LUA_ERRERR:
        oldTop->SetString(luaS_new(L, "error in error handling"));
        break;
    default:
        *oldTop = *(L->mTop - 1);
        break;
    }
    L->mTop = oldTop + 1;
}

void luaD_callhook(lua_State* L, int event, int line)
{
    lua_Hook hook = L->mHook;
    if (hook == nullptr || !L->mAllowHook) {
        return;
    }
    std::ptrdiff_t top = luaD_savestack(L, L->mTop);
    std::ptrdiff_t ciTop = luaD_savestack(L, L->mCi->mTop);
    lua_Debug ar;
    ar.event = event;
    ar.currentline = line;
    ar.i_ci = event == LUA_HOOKTAILRET ? 0 : static_cast<int>(L->mCi - L->mBaseCi);
    luaD_checkstack(L, kMinStackForC);
    L->mCi->mTop = L->mTop + kMinStackForC;
    L->mAllowHook = 0;
    hook(L, &ar);
    L->mAllowHook = 1;
    L->mCi->mTop = luaD_restorestack(L, ciTop);
    L->mTop = luaD_restorestack(L, top);
}

LPrecall luaD_precall(lua_State* L, LValue* func, int nresults)
{
    if (!func->IsFunction()) {
        func = TryFuncTM(L, func);
    }
    std::ptrdiff_t funcr = luaD_savestack(L, func);
    LClosure* cl = func->AsClosure();
    if (!cl->mIsC) {
        LProto* p = AsLuaClosure(cl)->mProto;
        if (p->mIsVararg) {
            AdjustVarargs(L, p->mNumParams, func + 1);
        }
        luaD_pushluaframe(L, luaD_restorestack(L, funcr), p);
        if (L->mHookMask & LUA_MASKCALL) {
            luaD_callhook(L, LUA_HOOKCALL, -1);
        }
        return LPrecall::kLua;
    }
    luaD_checkstack(L, kMinStackForC);
    LCallInfo* ci = NextCi(L);
    L->mBase = ci->mBase = luaD_restorestack(L, funcr) + 1;
    ci->mTop = L->mTop + kMinStackForC;
    ci->mState = kCallIsC;
    ci->mSavedPc = nullptr;
    ci->mPc = nullptr;
    ci->mTailCalls = 0;
    if (L->mHookMask & LUA_MASKCALL) {
        luaD_callhook(L, LUA_HOOKCALL, -1);
    }
    int n = AsCClosure(cl)->mFunction(L);
    if (n < 0) {
        return LPrecall::kYield;
    }
    luaD_poscall(L, nresults, L->mTop - n);
    return LPrecall::kC;
}

LValue* luaD_rethook(lua_State* L, LValue* firstResult)
{
    std::ptrdiff_t fr = luaD_savestack(L, firstResult);
    luaD_callhook(L, LUA_HOOKRET, -1);
    return luaD_restorestack(L, fr);
}

void luaD_call(lua_State* L, LValue* func, int nresults)
{
    if (++L->mNumCCalls >= kMaxCCalls) {
        if (L->mNumCCalls == kMaxCCalls) {
            luaG_runerror(L, "C stack overflow");
        } else if (L->mNumCCalls >= kMaxCCalls + (kMaxCCalls >> 3)) {
            luaD_throw(L, LUA_ERRERR); // overflow while handling the overflow
        }
    }
    if (luaD_precall(L, func, nresults) == LPrecall::kLua) {
        LValue* firstResult = luaV_execute(L);
        luaD_poscall(L, nresults, firstResult);
    }
    L->mNumCCalls--;
    luaC_checkGC(L);
}

int luaD_pcall(lua_State* L, LProtectedFunction f, void* u, std::ptrdiff_t oldTop,
               std::ptrdiff_t errFunc)
{
    uint16_t oldNumCCalls = L->mNumCCalls;
    std::ptrdiff_t oldCi = luaD_saveci(L, L->mCi);
    uint8_t oldAllowHook = L->mAllowHook;
    std::ptrdiff_t oldErrFunc = L->mErrFunc;
    L->mErrFunc = errFunc;
    int status = luaD_rawrunprotected(L, f, u);
    if (status != 0) {
        LValue* top = luaD_restorestack(L, oldTop);
        luaF_close(L, top);
        luaD_seterrorobj(L, status, top);
        L->mNumCCalls = oldNumCCalls;
        L->mCi = luaD_restoreci(L, oldCi);
        L->mBase = L->mCi->mBase;
        L->mAllowHook = oldAllowHook;
        RestoreStackLimit(L);
    }
    L->mErrFunc = oldErrFunc;
    return status;
}

int luaD_protectedparser(lua_State* L, LInputStream* z, int binary)
{
    luaC_checkGC(L);
    if (!binary) {
        luaZ_detectwide(z); // keeps a lone FF even when it ends a piece
    }
    ParserArgs p;
    p.mStream = z;
    p.mBinary = binary;
    luaZ_initbuffer(&p.mBuffer);
    int status = luaD_pcall(L, ProtectedParse, &p, luaD_savestack(L, L->mTop), L->mErrFunc);
    luaZ_freebuffer(L, &p.mBuffer);
    return status;
}

// ---------------------------------------------------------------------------------
// Upvalues
// ---------------------------------------------------------------------------------

LUpval* luaF_findupval(lua_State* L, LValue* level)
{
    LGCObject** pp = &L->mOpenUpval;
    LUpval* p;
    while ((p = static_cast<LUpval*>(*pp)) != nullptr && p->mValuePtr >= level) {
        if (p->mValuePtr == level) {
            return p;
        }
        pp = &p->mNext;
    }
    LUpval* v = luaM_new<LUpval>(L);
    v->mTag = LUA_TUPVAL;
    v->mMarked = kMarkBit; // open upvalues are reached through their stacks
    v->mValuePtr = level;
    v->mValue.SetNil();
    v->mNext = *pp;
    *pp = v;
    return v;
}

void luaF_close(lua_State* L, LValue* level)
{
    LUpval* p;
    while ((p = static_cast<LUpval*>(L->mOpenUpval)) != nullptr && p->mValuePtr >= level) {
        p->mValue = *p->mValuePtr;
        p->mValuePtr = &p->mValue;
        L->mOpenUpval = p->mNext;
        luaC_link(L, p, LUA_TUPVAL);
    }
}

// ---------------------------------------------------------------------------------
// Coroutine API
// ---------------------------------------------------------------------------------

int lua_resume(lua_State* L, int nargs)
{
    LCallInfo* ci = L->mCi;
    if (ci == L->mBaseCi) {
        if (nargs >= L->mTop - L->mBase) {
            return ResumeError(L, "cannot resume dead coroutine", true);
        }
    } else if (!(ci->mState & kCallYielded)) {
        return ResumeError(L, "cannot resume non-suspended coroutine", false);
    }
    if (sResumeDepth >= kMaxCCalls) {
        return ResumeError(L, "C stack overflow", false);
    }
    uint8_t oldAllowHook = L->mAllowHook;
    LEntryScope entry(L);
    sResumeDepth++;
    int status = luaD_rawrunprotected(L, Resume, &nargs);
    sResumeDepth--;
    if (status != 0) {
        // The coroutine is dead: back at its base with only the error value.
        L->mCi = L->mBaseCi;
        L->mBase = L->mCi->mBase;
        L->mNumCCalls = 0;
        luaF_close(L, L->mBase);
        luaD_seterrorobj(L, status, L->mBase);
        L->mAllowHook = oldAllowHook;
        RestoreStackLimit(L);
    }
    return status;
}

int lua_yield(lua_State* L, int nresults)
{
    LCallInfo* ci = L->mCi;
    if (L->mNumCCalls > 0) {
        luaG_runerror(L, "attempt to yield across metamethod/C-call boundary");
    }
    if (ci->mState & kCallIsC) {
        if ((ci - 1)->mState & kCallIsC) {
            luaG_runerror(L, "cannot yield a C function");
        }
        // Keep only the yielded values, at the base of the C frame.
        if (L->mTop - nresults > L->mBase) {
            LValue* from = L->mTop - nresults;
            for (int i = 0; i < nresults; i++) {
                L->mBase[i] = from[i];
            }
            L->mTop = L->mBase + nresults;
        }
    }
    ci->mState |= kCallYielded;
    return -1;
}

int lua_canyield(lua_State* L)
{
    LCallInfo* ci = L->mCi;
    if (ci == L->mBaseCi || L->mNumCCalls > 0) {
        return 0;
    }
    return (ci->mState & kCallIsC) && ((ci - 1)->mState & kCallIsC) ? 0 : 1;
}

int lua_isyielded(lua_State* L)
{
    return L->mCi != L->mBaseCi && (L->mCi->mState & kCallYielded) != 0 ? 1 : 0;
}
