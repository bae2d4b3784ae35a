#include "engine/script/lua/runtime/LState.h"

#include "engine/script/lua/compiler/LLexer.h"
#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LUserdata.h"
#include "engine/script/lua/runtime/LCall.h"
#include "engine/script/lua/runtime/LCollector.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"

#include <cstring>

namespace {

int DefaultPanic(lua_State*)
{
    return 0;
}

void InitThreadRecord(lua_State* L, LGlobalState* g)
{
    std::memset(static_cast<void*>(L), 0, sizeof(lua_State)); // null pointers, zero counts
    L->mTag = LUA_TTHREAD;
    L->mGlobal = g;
    L->mAllowHook = 1;
    L->mGlobals.SetNil();
}

// The value stack (with one nil for the base frame's function) and the call frames.
void InitStack(lua_State* L1, lua_State* L)
{
    const int size = kBasicStackSize + kExtraStack;
    L1->mStack = luaM_newvector<LValue>(L, size);
    L1->mStackSize = size;
    for (int i = 0; i < size; ++i)
        L1->mStack[i].SetNil();
    L1->mStackLast = L1->mStack + (size - kExtraStack - 1);
    L1->mBaseCi = luaM_newvector<LCallInfo>(L, kBasicCallInfoSize);
    L1->mSizeCi = kBasicCallInfoSize;
    L1->mEndCi = L1->mBaseCi + (kBasicCallInfoSize - 1);
    L1->mCi = L1->mBaseCi;
    L1->mCi->mState = kCallIsC;
    L1->mCi->mSavedPc = nullptr;
    L1->mCi->mPc = nullptr;
    L1->mCi->mTailCalls = 0;
    L1->mTop = L1->mStack + 1; // slot 0: the base frame's function, nil
    L1->mBase = L1->mTop;
    L1->mCi->mBase = L1->mTop;
    L1->mCi->mTop = L1->mTop + kMinStackForC;
}

void FreeStack(lua_State* L, lua_State* L1)
{
    luaM_freevector(L, L1->mBaseCi, L1->mSizeCi);
    luaM_freevector(L, L1->mStack, static_cast<std::size_t>(L1->mStackSize));
    L1->mBaseCi = nullptr;
    L1->mStack = nullptr;
}

void InitGlobalRecord(LGlobalState* g, const LGlobalState& settings, lua_State* L)
{
    g->mStringTable = LStringTable{nullptr, 0, 0};
    g->mAlloc = settings.mAlloc;
    g->mAllocUd = settings.mAllocUd;
    g->mRootGc = nullptr;
    g->mRootUdata = nullptr;
    g->mTmUdata = nullptr;
    g->mNumThreads = 0;
    luaZ_initbuffer(&g->mBuffer);
    g->mGcThreshold = 0;
    g->mBytesInUse = sizeof(lua_State) + sizeof(LGlobalState);
    g->mPanic = &DefaultPanic;
    g->mRegistry.SetNil();
    g->mDefaultMeta.SetNil();
    g->mMainThread = L;
    g->mEmptyNode[0].mKey.SetNil();
    g->mEmptyNode[0].mValue.SetNil();
    g->mEmptyNode[0].mNext = nullptr;
    for (LString*& name : g->mTmNames)
        name = nullptr;
    for (LValue& slot : g->mTypeTables)
        slot.SetNil();
    g->mEntryDepth = 0;
    g->mCallSerial = 0;
}

// The default metatable (its own metatable) and the per-type tables of tags 1..9.
void CreateTypeTables(lua_State* L)
{
    LGlobalState* g = G(L);
    LTable* defaultMeta = luaH_new(L, 0, 0);
    defaultMeta->mMetatable = defaultMeta;
    g->mDefaultMeta.SetTable(defaultMeta);
    for (int tag = LUA_TBOOLEAN; tag < kNumTags; ++tag) {
        LTable* t = luaH_new(L, 0, 0);
        t->mMetatable = defaultMeta;
        g->mTypeTables[tag].SetTable(t);
    }
}

struct LOpenData
{
    LGlobalState* mSettings;
};

void OpenState(lua_State* L, void* ud)
{
    LOpenData* data = static_cast<LOpenData*>(ud);
    LGlobalState* g = luaM_new<LGlobalState>(L);
    InitGlobalRecord(g, *data->mSettings, L);
    L->mGlobal = g;
    InitStack(L, L);
    CreateTypeTables(L);
    L->mGlobals.SetTable(luaH_new(L, 0, 4));
    g->mRegistry.SetTable(luaH_new(L, 4, 4));
    luaS_resize(L, kMinStringTableSize);
    luaT_init(L);
    luaX_init(L);
    luaS_fix(luaS_new(L, "not enough memory"));
    g->mGcThreshold = 4 * g->mBytesInUse;
}

void FreeList(lua_State* L, LGCObject* o)
{
    while (o != nullptr) {
        LGCObject* next = o->mNext;
        luaE_freeobject(L, o);
        o = next;
    }
}

// Frees everything a (possibly partly opened) state owns, then the records.
void CloseState(lua_State* L)
{
    LGlobalState* g = G(L);
    FreeList(L, g->mRootGc);
    FreeList(L, g->mRootUdata);
    FreeList(L, g->mTmUdata);
    g->mRootGc = g->mRootUdata = g->mTmUdata = nullptr;
    if (g->mStringTable.mHash != nullptr)
        luaS_freeall(L);
    luaZ_freebuffer(L, &g->mBuffer);
    FreeStack(L, L);
    const LuaAllocFunction alloc = g->mAlloc;
    void* allocUd = g->mAllocUd;
    alloc(allocUd, g, sizeof(LGlobalState), 0, 0, 0);
    alloc(allocUd, L, sizeof(lua_State), 0, 0, 0);
}

} // namespace

void luaC_link(lua_State* L, LGCObject* o, uint8_t tag)
{
    LGlobalState* g = G(L);
    o->mNext = g->mRootGc;
    g->mRootGc = o;
    o->mMarked = 0;
    o->mTag = tag;
}

lua_State* lua_open()
{
    return lua_newstate(luaM_defaultallocator(), luaM_defaultallocatorud());
}

lua_State* lua_newstate(LuaAllocFunction alloc, void* ud)
{
    LGlobalState settings{};
    settings.mAlloc = alloc != nullptr ? alloc : luaM_defaultallocator();
    settings.mAllocUd = alloc != nullptr ? ud : luaM_defaultallocatorud();
    settings.mPanic = &DefaultPanic;
    void* block = settings.mAlloc(settings.mAllocUd, nullptr, 0, sizeof(lua_State), 0, 0);
    if (block == nullptr)
        return nullptr;
    lua_State* L = static_cast<lua_State*>(block);
    InitThreadRecord(L, &settings);
    LOpenData data{&settings};
    if (luaD_rawrunprotected(L, &OpenState, &data) == 0)
        return L;
    if (L->mGlobal != &settings) {
        CloseState(L);
    } else {
        settings.mAlloc(settings.mAllocUd, L, sizeof(lua_State), 0, 0, 0);
    }
    return nullptr;
}

// Pending finalisers run first (each once, errors ignored), after the main thread's
// upvalues are closed.
void lua_close(lua_State* L)
{
    L = G(L)->mMainThread;
    luaF_close(L, L->mStack);
    luaC_callallgcTM(L);
    for (LGCObject* o = G(L)->mRootGc; o != nullptr; o = o->mNext) {
        if (o->mTag == LUA_TTHREAD) {
            lua_State* L1 = static_cast<lua_State*>(o);
            luaF_close(L1, L1->mStack); // suspended coroutines: their upvalues get freed too
        }
    }
    CloseState(L);
}

lua_State* luaE_newthread(lua_State* L)
{
    lua_State* L1 = luaM_new<lua_State>(L);
    InitThreadRecord(L1, G(L));
    try {
        InitStack(L1, L);
    } catch (...) {
        FreeStack(L, L1);
        luaM_freeblock(L, L1, sizeof(lua_State));
        throw;
    }
    L1->mGlobals = L->mGlobals;
    luaC_link(L, L1, LUA_TTHREAD);
    ++G(L)->mNumThreads;
    return L1;
}

void luaE_freethread(lua_State* L, lua_State* L1)
{
    FreeStack(L, L1);
    luaM_freeblock(L, L1, sizeof(lua_State));
}

void luaE_freeobject(lua_State* L, LGCObject* o)
{
    switch (o->mTag) {
    case LUA_TSTRING:
    case LUA_TWSTRING:
        luaS_freestring(L, static_cast<LString*>(o));
        break;
    case LUA_TTABLE:
        luaH_free(L, static_cast<LTable*>(o));
        break;
    case LUA_TFUNCTION:
        luaF_freeclosure(L, static_cast<LClosure*>(o));
        break;
    case LUA_TUSERDATA:
        luaS_freeudata(L, static_cast<LUserdata*>(o));
        break;
    case LUA_TTHREAD:
        luaE_freethread(L, static_cast<lua_State*>(o));
        --G(L)->mNumThreads;
        break;
    case LUA_TPROTO:
        luaF_freeproto(L, static_cast<LProto*>(o));
        break;
    case LUA_TUPVAL:
        luaF_freeupval(L, static_cast<LUpval*>(o));
        break;
    default:
        break;
    }
}
