#include "engine/script/lua/runtime/LCollector.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LUserdata.h"
#include "engine/script/lua/runtime/LCall.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"
#include "engine/script/lua/runtime/LStack.h"

#include <cstring>

namespace {

bool sStress = false;

struct GcState
{
    LGCObject* mGray; // marked objects whose references are not yet marked
    LGCObject* mWeak; // weak tables, to be cleared after marking
};

LGCObject** GcListOf(LGCObject* o)
{
    switch (o->mTag) {
    case LUA_TTABLE:
        return &static_cast<LTable*>(o)->mGcList;
    case LUA_TFUNCTION:
        return &static_cast<LClosure*>(o)->mGcList;
    case LUA_TPROTO:
        return &static_cast<LProto*>(o)->mGcList;
    case LUA_TTHREAD:
        return &static_cast<lua_State*>(o)->mGcList;
    default:
        return nullptr;
    }
}

bool IsMarked(const LGCObject* o)
{
    return (o->mMarked & kMarkBit) != 0;
}

void MarkObject(GcState* st, LGCObject* o);

void MarkValue(GcState* st, const LValue* v)
{
    if (v->IsCollectable() && !IsMarked(v->AsGc())) {
        MarkObject(st, v->AsGc());
    }
}

void MarkTable(GcState* st, LTable* t)
{
    if (t != nullptr && !IsMarked(t)) {
        MarkObject(st, t);
    }
}

void MarkObject(GcState* st, LGCObject* o)
{
    if (IsMarked(o)) {
        return;
    }
    o->mMarked |= kMarkBit;
    switch (o->mTag) {
    case LUA_TSTRING:
    case LUA_TWSTRING:
        break;
    case LUA_TUSERDATA:
        MarkTable(st, static_cast<LUserdata*>(o)->mMetatable);
        break;
    case LUA_TUPVAL: {
        LUpval* u = static_cast<LUpval*>(o);
        MarkValue(st, u->mValuePtr);
        break;
    }
    default: {
        LGCObject** link = GcListOf(o);
        if (link != nullptr) {
            *link = st->mGray;
            st->mGray = o;
        }
        break;
    }
    }
}

// A string key or value is never weak: mark it and keep it.
void MarkWeakPart(GcState* st, const LValue* v, bool weak)
{
    if (!weak || v->IsAnyString()) {
        MarkValue(st, v);
    }
}

void TraverseTable(GcState* st, lua_State* L, LTable* h)
{
    MarkTable(st, h->mMetatable);
    h->mMarked &= static_cast<uint8_t>(~(kKeyWeakBit | kValueWeakBit));
    bool weakKey = false;
    bool weakValue = false;
    const LValue* mode = luaT_fasttm(L, h->mMetatable, TM_MODE);
    if (mode != nullptr && mode->IsString()) {
        const char* m = mode->AsString()->Text();
        weakKey = std::strchr(m, 'k') != nullptr;
        weakValue = std::strchr(m, 'v') != nullptr;
        if (weakKey || weakValue) {
            h->mMarked |=
                static_cast<uint8_t>((weakKey ? kKeyWeakBit : 0) | (weakValue ? kValueWeakBit : 0));
            h->mGcList = st->mWeak;
            st->mWeak = h;
        }
    }
    for (int i = 0; i < h->mSizeArray; i++) {
        MarkWeakPart(st, &h->mArray[i], weakValue);
    }
    if (h->mNode == G(L)->mEmptyNode) {
        return;
    }
    for (int i = h->NodeCount() - 1; i >= 0; i--) {
        LNode* n = luaH_node(h, i);
        if (!n->mValue.IsNil()) {
            MarkWeakPart(st, &n->mKey, weakKey);
            MarkWeakPart(st, &n->mValue, weakValue);
        }
    }
}

void TraverseClosure(GcState* st, LClosure* cl)
{
    MarkValue(st, &cl->mGlobals);
    if (cl->mIsC) {
        LCClosure* c = AsCClosure(cl);
        for (int i = 0; i < c->mNumUpvalues; i++) {
            MarkValue(st, &c->Upvalues()[i]);
        }
        return;
    }
    LLuaClosure* l = AsLuaClosure(cl);
    if (l->mProto != nullptr) {
        MarkObject(st, l->mProto);
    }
    for (int i = 0; i < l->mNumUpvalues; i++) {
        LUpval* u = l->Upvalues()[i];
        if (u == nullptr) {
            continue;
        }
        if (u->IsOpen()) {
            // Keep the value alive even when the stack it lives on is not reached.
            MarkValue(st, u->mValuePtr);
        } else {
            MarkObject(st, u);
        }
    }
}

void TraverseProto(GcState* st, LProto* f)
{
    if (f->mSource != nullptr) {
        MarkObject(st, f->mSource);
    }
    for (int i = 0; i < f->mSizeConstants; i++) {
        MarkValue(st, &f->mConstants[i]);
    }
    for (int i = 0; i < f->mSizeUpvalueNames; i++) {
        if (f->mUpvalueNames[i] != nullptr) {
            MarkObject(st, f->mUpvalueNames[i]);
        }
    }
    for (int i = 0; i < f->mSizeProtos; i++) {
        if (f->mProtos[i] != nullptr) {
            MarkObject(st, f->mProtos[i]);
        }
    }
    for (int i = 0; i < f->mSizeLocVars; i++) {
        if (f->mLocVars[i].mName != nullptr) {
            MarkObject(st, f->mLocVars[i].mName);
        }
    }
}

// Halves the call-frame array and the stack of a thread when they are mostly unused.
void CheckStackSizes(lua_State* L, LValue* used)
{
    int ciUsed = static_cast<int>(L->mCi - L->mBaseCi) + 1;
    if (4 * ciUsed < L->mSizeCi && L->mSizeCi > 2 * kBasicCallInfoSize) {
        luaD_reallocCI(L, L->mSizeCi / 2);
    }
    int stackUsed = static_cast<int>(used - L->mStack);
    if (4 * stackUsed < L->mStackSize && L->mStackSize > 2 * (kBasicStackSize + kExtraStack)) {
        luaD_reallocstack(L, L->mStackSize / 2);
    }
}

void TraverseThread(GcState* st, lua_State* L1)
{
    MarkValue(st, &L1->mGlobals);
    LValue* limit = L1->mTop;
    for (LCallInfo* ci = L1->mBaseCi; ci <= L1->mCi; ci++) {
        if (limit < ci->mTop) {
            limit = ci->mTop;
        }
    }
    for (LValue* o = L1->mStack; o < L1->mTop; o++) {
        MarkValue(st, o);
    }
    for (LValue* o = L1->mTop; o < limit; o++) {
        o->SetNil(); // dead slots of the frames must not keep anything alive
    }
    CheckStackSizes(L1, limit);
}

void PropagateMarks(GcState* st, lua_State* L)
{
    while (st->mGray != nullptr) {
        LGCObject* o = st->mGray;
        st->mGray = *GcListOf(o);
        switch (o->mTag) {
        case LUA_TTABLE:
            TraverseTable(st, L, static_cast<LTable*>(o));
            break;
        case LUA_TFUNCTION:
            TraverseClosure(st, static_cast<LClosure*>(o));
            break;
        case LUA_TPROTO:
            TraverseProto(st, static_cast<LProto*>(o));
            break;
        case LUA_TTHREAD:
            TraverseThread(st, static_cast<lua_State*>(o));
            break;
        default:
            break;
        }
    }
}

void MarkRoots(GcState* st, lua_State* L)
{
    LGlobalState* g = G(L);
    MarkValue(st, &g->mRegistry);
    MarkValue(st, &g->mDefaultMeta);
    for (const LValue& slot : g->mTypeTables) {
        MarkValue(st, &slot);
    }
    // The main thread is on no list, so no sweep clears its mark: clear it here.
    g->mMainThread->mMarked &= static_cast<uint8_t>(~kMarkBit);
    MarkObject(st, g->mMainThread);
    MarkObject(st, L);
}

// Userdata awaiting finalisation, and what they reach, survive until their turn.
void MarkPendingUserdata(GcState* st, lua_State* L)
{
    for (LGCObject* u = G(L)->mTmUdata; u != nullptr; u = u->mNext) {
        u->mMarked &= static_cast<uint8_t>(~kMarkBit);
        MarkObject(st, u);
    }
}

bool HasGcHandler(lua_State* L, LUserdata* u)
{
    const LValue* tm = luaT_fasttm(L, u->mMetatable, TM_GC);
    return tm != nullptr && !tm->IsNil();
}

// Moves unreached userdata with a pending "__gc" (all of them when `all') to the end
// of the finalisation list; returns their size.
size_t SeparateUserdata(lua_State* L, bool all)
{
    LGlobalState* g = G(L);
    size_t deadMem = 0;
    LGCObject** tail = &g->mTmUdata;
    while (*tail != nullptr) {
        tail = &(*tail)->mNext;
    }
    LGCObject** p = &g->mRootUdata;
    while (*p != nullptr) {
        LGCObject* curr = *p;
        LUserdata* u = static_cast<LUserdata*>(curr);
        if ((!all && IsMarked(curr)) || (curr->mMarked & kNotFinalizedBit) == 0) {
            p = &curr->mNext;
        } else if (!HasGcHandler(L, u)) {
            curr->mMarked &= static_cast<uint8_t>(~kNotFinalizedBit); // nothing to run
            p = &curr->mNext;
        } else {
            deadMem += sizeof(LUserdata) + u->mBlockSize;
            curr->mMarked &= static_cast<uint8_t>(~kNotFinalizedBit); // its finaliser is due
            *p = curr->mNext;
            curr->mNext = nullptr;
            *tail = curr;
            tail = &curr->mNext;
        }
    }
    return deadMem;
}

bool IsCleared(const LValue* o, bool isKey)
{
    if (!o->IsCollectable() || o->IsAnyString()) {
        return false;
    }
    if (!IsMarked(o->AsGc())) {
        return true;
    }
    // A finalised userdata (or one about to be) is gone as a weak value.
    return !isKey && o->IsUserdata() && (o->AsGc()->mMarked & kNotFinalizedBit) == 0;
}

void ClearWeakTables(lua_State* L, LGCObject* list)
{
    for (; list != nullptr; list = static_cast<LTable*>(list)->mGcList) {
        LTable* h = static_cast<LTable*>(list);
        bool weakKey = (h->mMarked & kKeyWeakBit) != 0;
        bool weakValue = (h->mMarked & kValueWeakBit) != 0;
        if (weakValue) {
            for (int i = 0; i < h->mSizeArray; i++) {
                if (IsCleared(&h->mArray[i], false)) {
                    h->mArray[i].SetNil();
                }
            }
        }
        if (h->mNode == G(L)->mEmptyNode) {
            continue;
        }
        for (int i = h->NodeCount() - 1; i >= 0; i--) {
            LNode* n = luaH_node(h, i);
            if (n->mValue.IsNil()) {
                continue;
            }
            if ((weakKey && IsCleared(&n->mKey, true)) ||
                (weakValue && IsCleared(&n->mValue, false))) {
                n->mValue.SetNil(); // the entry is removed; the key stays as a dead marker
            }
        }
    }
}

// Closes the open upvalues of threads that were not reached, before the sweep frees
// them; the closed upvalues survive this collection (a live closure may hold them).
void CloseDeadThreads(lua_State* L)
{
    if (G(L)->mNumThreads == 0) {
        return; // nothing but the main thread, which is not on the list
    }
    for (LGCObject* o = G(L)->mRootGc; o != nullptr; o = o->mNext) {
        if (o->mTag != LUA_TTHREAD || IsMarked(o)) {
            continue;
        }
        lua_State* L1 = static_cast<lua_State*>(o);
        LUpval* u;
        while ((u = static_cast<LUpval*>(L1->mOpenUpval)) != nullptr) {
            u->mValue = *u->mValuePtr;
            u->mValuePtr = &u->mValue;
            L1->mOpenUpval = u->mNext;
            luaC_link(L, u, LUA_TUPVAL);
            u->mMarked |= kMarkBit;
        }
    }
}

void SweepList(lua_State* L, LGCObject** p)
{
    while (*p != nullptr) {
        LGCObject* o = *p;
        if (o->mMarked & (kMarkBit | kFixedBit)) {
            o->mMarked &= static_cast<uint8_t>(~kMarkBit);
            p = &o->mNext;
        } else {
            *p = o->mNext;
            luaE_freeobject(L, o);
        }
    }
}

void SweepStrings(lua_State* L)
{
    LStringTable& table = G(L)->mStringTable;
    for (int i = 0; i < table.mSize; i++) {
        SweepList(L, &table.mHash[i]);
    }
}

void CheckSizes(lua_State* L)
{
    LGlobalState* g = G(L);
    if (g->mStringTable.mNumUse < static_cast<uint32_t>(g->mStringTable.mSize / 4) &&
        g->mStringTable.mSize > kMinStringTableSize * 2) {
        luaS_resize(L, g->mStringTable.mSize / 2);
    }
    if (g->mBuffer.mSize > kMinBufferSize * 2) {
        luaZ_resizebuffer(L, &g->mBuffer, g->mBuffer.mSize / 2);
    }
}

// Runs the finaliser of the first userdata awaiting it.
void CallOneGCTM(lua_State* L)
{
    LGlobalState* g = G(L);
    LGCObject* o = g->mTmUdata;
    LUserdata* u = static_cast<LUserdata*>(o);
    // Back to the list of live userdata: it is freed by a later collection.
    g->mTmUdata = o->mNext;
    o->mNext = g->mRootUdata;
    g->mRootUdata = o;
    const LValue* tm = luaT_fasttm(L, u->mMetatable, TM_GC);
    if (tm != nullptr && tm->IsFunction()) {
        L->mTop[0] = *tm;
        L->mTop[1].SetUserdata(u);
        luaD_checkstack(L, 2);
        L->mTop += 2;
        luaD_call(L, L->mTop - 2, 0);
    }
}

void CallGCTM(lua_State* L)
{
    uint8_t oldAllowHook = L->mAllowHook;
    L->mAllowHook = 0; // no debug hooks inside finalisers
    while (G(L)->mTmUdata != nullptr) {
        CallOneGCTM(L);
    }
    L->mAllowHook = oldAllowHook;
}

void CallAllGCTMProtected(lua_State* L, void*)
{
    CallGCTM(L);
}

} // namespace

void luaC_setstress(bool on)
{
    sStress = on;
}

bool luaC_stress()
{
    return sStress;
}

void luaC_checkGC(lua_State* L)
{
    if (sStress || G(L)->mBytesInUse >= G(L)->mGcThreshold) {
        luaC_collectgarbage(L);
    }
}

void luaC_collectgarbage(lua_State* L)
{
    LGlobalState* g = G(L);
    GcState st{nullptr, nullptr};
    MarkRoots(&st, L);
    PropagateMarks(&st, L);
    size_t deadMem = SeparateUserdata(L, false);
    MarkPendingUserdata(&st, L);
    PropagateMarks(&st, L);
    ClearWeakTables(L, st.mWeak);
    CloseDeadThreads(L);
    SweepStrings(L);
    SweepList(L, &g->mRootGc);
    SweepList(L, &g->mRootUdata);
    for (LGCObject* u = g->mTmUdata; u != nullptr; u = u->mNext) {
        u->mMarked &= static_cast<uint8_t>(~kMarkBit);
    }
    CheckSizes(L);
    uint64_t threshold = 2ull * g->mBytesInUse;
    threshold = threshold > deadMem ? threshold - deadMem : 0;
    g->mGcThreshold = threshold > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(threshold);
    CallGCTM(L);
}

void luaC_callallgcTM(lua_State* L)
{
    SeparateUserdata(L, true);
    std::ptrdiff_t oldErrFunc = L->mErrFunc;
    L->mErrFunc = 0;
    for (;;) {
        // Each failing finaliser is already off the list: start again from a fresh frame.
        L->mCi = L->mBaseCi;
        L->mBase = L->mTop = L->mCi->mBase;
        L->mNumCCalls = 0;
        if (luaD_rawrunprotected(L, CallAllGCTMProtected, nullptr) == 0) {
            break;
        }
    }
    L->mErrFunc = oldErrFunc;
}
