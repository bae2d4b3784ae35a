#pragma once
// The interpreter state: one lua_State per thread (the main one and each coroutine),
// all sharing one LGlobalState with the string table, the allocator, the object lists,
// the registry and the per-type tables.
//
// lua_open builds a state; lua_close frees it with everything it owns.

#include "engine/script/lua/objects/LFunction.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/objects/LTable.h"
#include "engine/script/lua/objects/LTextBuffer.h"
#include "engine/script/lua/objects/LValue.h"

#include <cstddef>
#include <cstdint>

struct LRecoverPoint;
struct lua_Debug;
using lua_Hook = void (*)(lua_State* L, lua_Debug* ar);

// Call frame flags (LCallInfo::mState).
constexpr int kCallIsC = 1;      // a C function
constexpr int kCallIsLua = 2;    // a VM loop is running this Lua function
constexpr int kCallCalling = 4;  // this Lua function is calling another Lua function
constexpr int kCallSavedPc = 8;  // mSavedPc is current
constexpr int kCallYielded = 16; // suspended by a yield

struct LCallInfo
{
    LValue* mBase; // first slot of the frame (the function is at mBase - 1)
    LValue* mTop;  // frame limit
    int mState;
    const Instruction* mSavedPc;
    const Instruction** mPc; // the running VM loop's pc
    int mTailCalls;          // frames this one replaced by tail calls
};

// Metamethod events; the index is the event number.
enum LTagMethod
{
    TM_INDEX,
    TM_NEWINDEX,
    TM_GC,
    TM_MODE,
    TM_EQ, // the ones with an absent-event flag
    TM_ADD,
    TM_SUB,
    TM_MUL,
    TM_DIV,
    TM_POW,
    TM_UNM,
    TM_LT,
    TM_LE,
    TM_CONCAT,
    TM_CALL,
    TM_N
};

struct LGlobalState
{
    LStringTable mStringTable;
    LuaAllocFunction mAlloc;
    void* mAllocUd;
    LGCObject* mRootGc;    // every collectable object but strings and userdata
    LGCObject* mRootUdata; // every full userdata
    LGCObject* mTmUdata;   // userdata awaiting finalisation
    uint32_t mNumThreads;  // threads on mRootGc (every thread but the main one)
    LTextBuffer mBuffer;   // concatenation's text buffer
    uint32_t mGcThreshold;
    uint32_t mBytesInUse;
    lua_CFunction mPanic;
    LValue mRegistry;
    LValue mDefaultMeta; // the empty table that is its own metatable
    lua_State* mMainThread;
    LNode mEmptyNode[1]; // hash part of every table without one
    LString* mTmNames[TM_N];
    LValue mTypeTables[kNumTags]; // per-type tables; nil for tag 0
    uint32_t mEntryDepth;         // calls into the state under way (lua_call, pcall, resume)
    uint32_t mCallSerial;         // counts the calls made while none was under way
};

struct lua_State : LGCObject
{
    LValue* mTop;  // first free slot
    LValue* mBase; // first slot of the running function's frame
    LGlobalState* mGlobal;
    LCallInfo* mCi;     // current call frame
    LValue* mStackLast; // last usable slot; kExtraStack spare slots lie above
    LValue* mStack;
    int mStackSize;     // slots, spare ones included
    LCallInfo* mEndCi;  // last call frame of the array
    LCallInfo* mBaseCi; // the call-frame array
    uint16_t mSizeCi;
    uint16_t mNumCCalls; // nesting of C calls
    uint8_t mHookMask;
    uint8_t mAllowHook;
    uint8_t mHookInit;
    int mBaseHookCount;
    int mHookCount;
    lua_Hook mHook;
    LValue mGlobals;       // shared by all threads of a state
    LGCObject* mOpenUpval; // open upvalues of this stack, highest level first
    LGCObject* mGcList;
    LRecoverPoint* mErrorJmp; // innermost recover point
    std::ptrdiff_t mErrFunc;  // stack offset of the error handler, 0 for none
    int mAllocTag;            // passed to the allocation function
};

inline LGlobalState* G(lua_State* L)
{
    return L->mGlobal;
}

// Marks one call into a state for the whole of its run: the outermost call of a state
// (one made while no other runs, the engine's call into a script) starts a new call
// serial; calls nested in it keep it.
class LEntryScope
{
public:
    explicit LEntryScope(lua_State* L) : mGlobal(G(L))
    {
        if (mGlobal->mEntryDepth++ == 0)
            ++mGlobal->mCallSerial;
    }
    ~LEntryScope() { --mGlobal->mEntryDepth; }
    LEntryScope(const LEntryScope&) = delete;
    LEntryScope& operator=(const LEntryScope&) = delete;

private:
    LGlobalState* mGlobal;
};

// Opens a state: null when the memory for it cannot be had.
lua_State* lua_open();
// Closes the state of any of its threads, freeing everything it owns.
void lua_close(lua_State* L);

// A coroutine thread sharing L's globals, with a stack of its own; linked on the
// collector's list.
lua_State* luaE_newthread(lua_State* L);
// Frees a thread's stack, frames and record (its upvalues must be closed already).
void luaE_freethread(lua_State* L, lua_State* L1);

// Links a new object on the list of all objects.
void luaC_link(lua_State* L, LGCObject* o, uint8_t tag);

// Frees one collectable object of any kind (already unlinked from its list).
void luaE_freeobject(lua_State* L, LGCObject* o);
