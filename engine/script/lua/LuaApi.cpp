#include "engine/script/lua/LuaApi.h"

#include "engine/script/lua/chunk/LChunkDumper.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/objects/LUserdata.h"
#include "engine/script/lua/runtime/LCall.h"
#include "engine/script/lua/runtime/LCollector.h"
#include "engine/script/lua/runtime/LDebugInfo.h"
#include "engine/script/lua/runtime/LStack.h"
#include "engine/script/lua/runtime/LVirtualMachine.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

// What an index without a value reads as. Never written: only numbers are converted
// in place, and this is nil.
LValue sNoValue = {LUA_TNIL, {nullptr}};

bool IsNone(const LValue* o)
{
    return o == &sNoValue;
}

// The slot of a pseudo-index (registry, globals, registry shortcuts, upvalues).
LValue* PseudoIndexToAddress(lua_State* L, int idx)
{
    if (idx == LUA_REGISTRYINDEX) {
        return &G(L)->mRegistry;
    }
    if (idx == LUA_GLOBALSINDEX) {
        return &L->mGlobals;
    }
    if (idx < kLuaRegistryShortcut) {
        // Read-only view of the registry's integer keys.
        const LValue* v = luaH_getnum(G(L)->mRegistry.AsTable(), kLuaRegistryShortcut - idx);
        return v->IsNil() ? &sNoValue : const_cast<LValue*>(v);
    }
    LValue* func = L->mBase - 1;
    if (!func->IsFunction() || !func->AsClosure()->mIsC) {
        return &sNoValue;
    }
    LCClosure* cl = AsCClosure(func->AsClosure());
    int n = LUA_GLOBALSINDEX - idx;
    return n <= cl->mNumUpvalues ? &cl->Upvalues()[n - 1] : &sNoValue;
}

// The slot of an acceptable index (see the pseudo-indices); &sNoValue when there is no
// value there. Stack indices are resolved inline.
inline LValue* IndexToAddress(lua_State* L, int idx)
{
    if (idx > 0) {
        LValue* o = L->mBase + (idx - 1);
        return o < L->mTop ? o : &sNoValue;
    }
    if (idx > LUA_REGISTRYINDEX) {
        return L->mTop + idx;
    }
    return PseudoIndexToAddress(L, idx);
}

// Moves the top up after a value was written there, growing the stack and the frame
// limit as needed: C functions may push without lua_checkstack.
void ApiIncrTop(lua_State* L)
{
    luaD_incrtop(L);
    if (L->mTop > L->mCi->mTop) {
        L->mCi->mTop = L->mTop;
    }
}

void Push(lua_State* L, const LValue& v)
{
    *L->mTop = v;
    ApiIncrTop(L);
}

LTable* TableAt(lua_State* L, int idx)
{
    return IndexToAddress(L, idx)->AsTable();
}

struct CallArgs
{
    LValue* mFunc;
    int mNumResults;
};

void ProtectedCall(lua_State* L, void* ud)
{
    auto* c = static_cast<CallArgs*>(ud);
    luaD_call(L, c->mFunc, c->mNumResults);
}

struct CCallArgs
{
    lua_CFunction mFunc;
    void* mUd;
};

void ProtectedCCall(lua_State* L, void* ud)
{
    auto* c = static_cast<CCallArgs*>(ud);
    LCClosure* cl = luaF_newCclosure(L, 0, &L->mGlobals);
    cl->mFunction = c->mFunc;
    L->mTop->SetClosure(cl);
    ApiIncrTop(L);
    L->mTop->SetLightUserdata(c->mUd);
    ApiIncrTop(L);
    luaD_call(L, L->mTop - 2, 0);
}

// A number clamped to the int range, truncated toward zero; NaN gives 0.
int ClampToInt(double d)
{
    if (std::isnan(d)) {
        return 0;
    }
    if (d >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (d <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(d);
}

const char* AuxUpvalue(lua_State* L, int funcindex, int n, LValue** val)
{
    LValue* fi = IndexToAddress(L, funcindex);
    if (!fi->IsFunction()) {
        return nullptr;
    }
    LClosure* f = fi->AsClosure();
    if (f->mIsC) {
        LCClosure* c = AsCClosure(f);
        if (n < 1 || n > c->mNumUpvalues) {
            return nullptr;
        }
        *val = &c->Upvalues()[n - 1];
        return "";
    }
    LLuaClosure* l = AsLuaClosure(f);
    LProto* p = l->mProto;
    if (n < 1 || n > p->mSizeUpvalueNames) {
        return nullptr;
    }
    *val = l->Upvalues()[n - 1]->mValuePtr;
    return p->mUpvalueNames[n - 1]->Text();
}

} // namespace

// ---------------------------------------------------------------------------------
// State manipulation
// ---------------------------------------------------------------------------------

lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf)
{
    lua_CFunction old = G(L)->mPanic;
    G(L)->mPanic = panicf;
    return old;
}

lua_State* lua_newthread(lua_State* L)
{
    luaC_checkGC(L);
    lua_State* L1 = luaE_newthread(L);
    L1->mHook = L->mHook; // a new coroutine inherits the hook
    L1->mHookMask = L->mHookMask;
    L1->mBaseHookCount = L->mBaseHookCount;
    L1->mHookCount = L->mBaseHookCount;
    L->mTop->SetThread(L1);
    ApiIncrTop(L);
    return L1;
}

lua_State* lua_mainthread(lua_State* L)
{
    return G(L)->mMainThread;
}

lua_Alloc lua_getallocf(lua_State* L, void** ud)
{
    if (ud != nullptr)
        *ud = G(L)->mAllocUd;
    return G(L)->mAlloc;
}

unsigned lua_callserial(lua_State* L)
{
    return G(L)->mCallSerial;
}

unsigned lua_entrydepth(lua_State* L)
{
    return G(L)->mEntryDepth;
}

// ---------------------------------------------------------------------------------
// Basic stack manipulation
// ---------------------------------------------------------------------------------

int lua_gettop(lua_State* L)
{
    return static_cast<int>(L->mTop - L->mBase);
}

void lua_settop(lua_State* L, int idx)
{
    if (idx >= 0) {
        while (L->mTop < L->mBase + idx) {
            (L->mTop++)->SetNil();
            if (L->mTop >= L->mStackLast) {
                luaD_growstack(L, 1);
            }
        }
        L->mTop = L->mBase + idx;
        if (L->mTop > L->mCi->mTop) {
            L->mCi->mTop = L->mTop;
        }
    } else {
        L->mTop += idx + 1;
    }
}

void lua_remove(lua_State* L, int idx)
{
    LValue* p = IndexToAddress(L, idx);
    while (++p < L->mTop) {
        *(p - 1) = *p;
    }
    L->mTop--;
}

void lua_insert(lua_State* L, int idx)
{
    LValue* p = IndexToAddress(L, idx);
    for (LValue* q = L->mTop; q > p; q--) {
        *q = *(q - 1);
    }
    *p = *L->mTop;
}

void lua_replace(lua_State* L, int idx)
{
    if (idx == LUA_GLOBALSINDEX) {
        if ((L->mTop - 1)->IsTable()) {
            L->mGlobals = *(L->mTop - 1); // the running thread's globals
        }
    } else {
        *IndexToAddress(L, idx) = *(L->mTop - 1);
    }
    L->mTop--;
}

void lua_pushvalue(lua_State* L, int idx)
{
    Push(L, *IndexToAddress(L, idx));
}

int lua_checkstack(lua_State* L, int size)
{
    if (size < 0 || size > kLuaMaxCStack || (L->mTop - L->mBase) + size > kLuaMaxCStack) {
        return 0;
    }
    luaD_checkstack(L, size);
    if (L->mCi->mTop < L->mTop + size) {
        L->mCi->mTop = L->mTop + size;
    }
    return 1;
}

void lua_xmove(lua_State* from, lua_State* to, int n)
{
    if (from == to) {
        return;
    }
    LValue* first = from->mTop - n;
    for (int i = 0; i < n; i++) {
        Push(to, first[i]);
    }
    from->mTop = first;
}

// ---------------------------------------------------------------------------------
// Access functions
// ---------------------------------------------------------------------------------

int lua_type(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    return IsNone(o) ? LUA_TNONE : o->Tag();
}

const char* lua_typename(lua_State*, int t)
{
    return t == LUA_TNONE ? "no value" : (t >= 0 && t < kNumTags ? luaT_typenames[t] : "?");
}

int lua_iscfunction(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    return o->IsFunction() && o->AsClosure()->mIsC;
}

int lua_isnumber(lua_State* L, int idx)
{
    LValue n;
    return luaV_tonumber(IndexToAddress(L, idx), &n) != nullptr;
}

int lua_isstring(lua_State* L, int idx)
{
    int t = lua_type(L, idx);
    return t == LUA_TSTRING || t == LUA_TNUMBER || t == LUA_TWSTRING;
}

int lua_isuserdata(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    return o->IsUserdata() || o->Tag() == LUA_TLIGHTUSERDATA;
}

int lua_rawequal(lua_State* L, int index1, int index2)
{
    LValue* o1 = IndexToAddress(L, index1);
    LValue* o2 = IndexToAddress(L, index2);
    return !IsNone(o1) && !IsNone(o2) && luaO_rawequalObj(o1, o2);
}

int lua_equal(lua_State* L, int index1, int index2)
{
    LValue o1 = *IndexToAddress(L, index1);
    LValue o2 = *IndexToAddress(L, index2);
    if (IsNone(IndexToAddress(L, index1)) || IsNone(IndexToAddress(L, index2))) {
        return 0;
    }
    return luaV_equalObj(L, &o1, &o2);
}

int lua_lessthan(lua_State* L, int index1, int index2)
{
    if (IsNone(IndexToAddress(L, index1)) || IsNone(IndexToAddress(L, index2))) {
        return 0;
    }
    LValue o1 = *IndexToAddress(L, index1);
    LValue o2 = *IndexToAddress(L, index2);
    return luaV_lessthan(L, &o1, &o2);
}

lua_Number lua_tonumber(lua_State* L, int idx)
{
    LValue n;
    const LValue* o = luaV_tonumber(IndexToAddress(L, idx), &n);
    return o != nullptr ? o->AsNumber() : 0;
}

int lua_toboolean(lua_State* L, int idx)
{
    return !IndexToAddress(L, idx)->IsFalse();
}

const char* lua_tostring(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    if (o->IsString()) {
        return o->AsString()->Text();
    }
    if (!IsNone(o) && luaV_tostring(L, o)) {
        return o->AsString()->Text();
    }
    return nullptr; // a wstring has no 8-bit text
}

size_t lua_strlen(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    if (o->IsAnyString()) {
        return o->AsString()->mLength;
    }
    if (!IsNone(o) && luaV_tostring(L, o)) {
        return o->AsString()->mLength;
    }
    return 0;
}

const lua_WChar* lua_towstring(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    if (o->IsWString()) {
        return o->AsString()->WideText();
    }
    if (!IsNone(o) && luaV_towstring(L, o)) {
        return o->AsString()->WideText();
    }
    return nullptr;
}

lua_CFunction lua_tocfunction(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    return o->IsFunction() && o->AsClosure()->mIsC ? AsCClosure(o->AsClosure())->mFunction
                                                   : nullptr;
}

void* lua_touserdata(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    if (o->IsUserdata()) {
        LUserdata* u = o->AsUserdata();
        if (u->IsBoxedPointer()) {
            void* p;
            std::memcpy(&p, u->Block(), sizeof(p));
            return p;
        }
        return u->Block();
    }
    if (o->Tag() == LUA_TLIGHTUSERDATA) {
        return o->AsLightUserdata();
    }
    return nullptr;
}

lua_State* lua_tothread(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    return o->IsThread() ? o->AsThread() : nullptr;
}

const void* lua_topointer(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    switch (o->Tag()) {
    case LUA_TTABLE:
    case LUA_TFUNCTION:
    case LUA_TTHREAD:
        return o->AsGc();
    case LUA_TUSERDATA:
    case LUA_TLIGHTUSERDATA:
        return lua_touserdata(L, idx);
    default:
        return nullptr;
    }
}

// ---------------------------------------------------------------------------------
// Push functions
// ---------------------------------------------------------------------------------

void lua_pushnil(lua_State* L)
{
    L->mTop->SetNil();
    ApiIncrTop(L);
}

void lua_pushnumber(lua_State* L, lua_Number n)
{
    L->mTop->SetNumber(n);
    ApiIncrTop(L);
}

void lua_pushlstring(lua_State* L, const char* s, size_t len)
{
    luaC_checkGC(L);
    L->mTop->SetString(luaS_newlstr(L, s, len));
    ApiIncrTop(L);
}

void lua_pushstring(lua_State* L, const char* s)
{
    if (s == nullptr) {
        lua_pushnil(L);
    } else {
        lua_pushlstring(L, s, std::strlen(s));
    }
}

void lua_pushlwstring(lua_State* L, const lua_WChar* s, size_t len)
{
    luaC_checkGC(L);
    L->mTop->SetWString(luaS_newlwstr(L, s, len));
    ApiIncrTop(L);
}

void lua_pushwstring(lua_State* L, const lua_WChar* s)
{
    if (s == nullptr) {
        lua_pushnil(L);
    } else {
        lua_pushlwstring(L, s, static_cast<size_t>(lua_wstrlen(s)));
    }
}

const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp)
{
    luaC_checkGC(L);
    const char* ret = luaO_pushvfstring(L, fmt, argp);
    if (L->mTop > L->mCi->mTop) {
        L->mCi->mTop = L->mTop;
    }
    return ret;
}

const char* lua_pushfstring(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    const char* ret = lua_pushvfstring(L, fmt, argp);
    va_end(argp);
    return ret;
}

void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n)
{
    luaC_checkGC(L);
    LCClosure* cl = luaF_newCclosure(L, n, &L->mGlobals);
    cl->mFunction = fn;
    L->mTop -= n;
    for (int i = 0; i < n; i++) {
        cl->Upvalues()[i] = L->mTop[i];
    }
    L->mTop->SetClosure(cl);
    ApiIncrTop(L);
}

void lua_pushboolean(lua_State* L, int b)
{
    L->mTop->SetBoolean(b != 0);
    ApiIncrTop(L);
}

void lua_pushlightuserdata(lua_State* L, void* p)
{
    L->mTop->SetLightUserdata(p);
    ApiIncrTop(L);
}

void lua_pushboxedpointer(lua_State* L, void* p)
{
    luaC_checkGC(L);
    LUserdata* u = luaS_newudata(L, sizeof(void*));
    u->mLength = 1; // the boxed flag
    std::memcpy(u->Block(), &p, sizeof(p));
    L->mTop->SetUserdata(u);
    ApiIncrTop(L);
}

int lua_isboxedpointer(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    return o->IsUserdata() && o->AsUserdata()->IsBoxedPointer() ? 1 : 0;
}

// ---------------------------------------------------------------------------------
// Get functions
// ---------------------------------------------------------------------------------

void lua_gettable(lua_State* L, int idx)
{
    LValue t = *IndexToAddress(L, idx);
    luaV_gettable(L, &t, L->mTop - 1, L->mTop - 1);
}

void lua_rawget(lua_State* L, int idx)
{
    LTable* h = TableAt(L, idx);
    *(L->mTop - 1) = *luaH_get(h, L->mTop - 1);
}

void lua_rawgeti(lua_State* L, int idx, int n)
{
    LTable* h = TableAt(L, idx);
    Push(L, *luaH_getnum(h, n));
}

void lua_newtable(lua_State* L)
{
    luaC_checkGC(L);
    L->mTop->SetTable(luaH_new(L, 0, 0));
    ApiIncrTop(L);
}

void* lua_newuserdata(lua_State* L, size_t size)
{
    luaC_checkGC(L);
    LUserdata* u = luaS_newudata(L, size);
    L->mTop->SetUserdata(u);
    ApiIncrTop(L);
    return u->Block();
}

int lua_getmetatable(lua_State* L, int objindex)
{
    LValue* o = IndexToAddress(L, objindex);
    LTable* mt = IsNone(o) ? nullptr : luaT_metatableof(L, o);
    if (mt == nullptr) {
        return 0;
    }
    L->mTop->SetTable(mt);
    ApiIncrTop(L);
    return 1;
}

void lua_getfenv(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    if (o->IsFunction() && !o->AsClosure()->mIsC) {
        Push(L, o->AsClosure()->mGlobals);
    } else {
        Push(L, L->mGlobals);
    }
}

void lua_gettypemetatable(lua_State* L, int tp)
{
    Push(L, G(L)->mTypeTables[tp]);
}

// ---------------------------------------------------------------------------------
// Set functions
// ---------------------------------------------------------------------------------

void lua_settable(lua_State* L, int idx)
{
    LValue t = *IndexToAddress(L, idx);
    luaV_settable(L, &t, L->mTop - 2, L->mTop - 1);
    L->mTop -= 2;
}

void lua_rawset(lua_State* L, int idx)
{
    LTable* h = TableAt(L, idx);
    *luaH_set(L, h, L->mTop - 2) = *(L->mTop - 1);
    L->mTop -= 2;
}

void lua_rawseti(lua_State* L, int idx, int n)
{
    LTable* h = TableAt(L, idx);
    *luaH_setnum(L, h, n) = *(L->mTop - 1);
    L->mTop--;
}

int lua_setmetatable(lua_State* L, int objindex)
{
    LValue* obj = IndexToAddress(L, objindex);
    LValue* mtv = L->mTop - 1;
    LTable* mt = nullptr;
    if (mtv->IsNil()) {
        mt = G(L)->mDefaultMeta.AsTable();
    } else if (mtv->IsTable()) {
        mt = mtv->AsTable();
    }
    int res = 1;
    if (mt == nullptr) {
        res = 0;
    } else if (obj->IsTable()) {
        obj->AsTable()->mMetatable = mt;
    } else if (obj->IsUserdata()) {
        obj->AsUserdata()->mMetatable = mt;
    } else {
        res = 0; // other values use their type's table
    }
    L->mTop--;
    return res;
}

int lua_setfenv(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    int res = 0;
    if ((L->mTop - 1)->IsTable() && o->IsFunction() && !o->AsClosure()->mIsC) {
        o->AsClosure()->mGlobals = *(L->mTop - 1);
        res = 1;
    }
    L->mTop--;
    return res;
}

void lua_settypemetatable(lua_State* L, int tp)
{
    L->mTop--;
    if (L->mTop->IsTable() && tp > LUA_TNIL && tp < kNumTags) {
        G(L)->mTypeTables[tp] = *L->mTop;
    }
}

int lua_tablelength(lua_State* L, int idx)
{
    LValue* o = IndexToAddress(L, idx);
    if (!o->IsTable()) {
        return 0;
    }
    LTable* h = o->AsTable();
    const LValue* n = luaH_getstr(h, luaS_new(L, "n"));
    if (n->IsNumber()) {
        return ClampToInt(n->AsNumber());
    }
    double candidate = 0;
    for (int i = h->mSizeArray; i > 0; i--) {
        if (!h->mArray[i - 1].IsNil()) {
            candidate = i;
            break;
        }
    }
    if (h->mNode != G(L)->mEmptyNode) {
        for (int i = 0; i < h->NodeCount(); i++) {
            const LNode* node = luaH_node(h, i);
            if (node->mKey.IsNumber() && !node->mValue.IsNil() &&
                node->mKey.AsNumber() > candidate) {
                candidate = node->mKey.AsNumber();
            }
        }
    }
    return ClampToInt(candidate);
}

// ---------------------------------------------------------------------------------
// Calls and loading
// ---------------------------------------------------------------------------------

void lua_call(lua_State* L, int nargs, int nresults)
{
    LEntryScope entry(L);
    luaD_call(L, L->mTop - (nargs + 1), nresults);
    if (nresults == LUA_MULTRET && L->mTop > L->mCi->mTop) {
        L->mCi->mTop = L->mTop;
    }
}

int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc)
{
    LEntryScope entry(L);
    std::ptrdiff_t func = errfunc == 0 ? 0 : luaD_savestack(L, IndexToAddress(L, errfunc));
    CallArgs c{L->mTop - (nargs + 1), nresults};
    int status = luaD_pcall(L, ProtectedCall, &c, luaD_savestack(L, c.mFunc), func);
    if (nresults == LUA_MULTRET && L->mTop > L->mCi->mTop) {
        L->mCi->mTop = L->mTop;
    }
    return status;
}

int lua_cpcall(lua_State* L, lua_CFunction func, void* ud)
{
    LEntryScope entry(L);
    CCallArgs c{func, ud};
    int status = luaD_pcall(L, ProtectedCCall, &c, luaD_savestack(L, L->mTop), 0);
    return status;
}

int lua_load(lua_State* L, lua_Chunkreader reader, void* data, const char* chunkname)
{
    if (chunkname == nullptr) {
        chunkname = "?";
    }
    LInputStream z;
    luaZ_init(&z, reader, data, chunkname);
    int c = luaZ_lookahead(&z);
    return luaD_protectedparser(L, &z, c == 27); // byte 27 starts a precompiled chunk
}

int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data)
{
    LValue* o = L->mTop - 1;
    if (!o->IsFunction() || o->AsClosure()->mIsC || o->AsClosure()->mNumUpvalues != 0) {
        return 0;
    }
    return luaU_dump(L, AsLuaClosure(o->AsClosure())->mProto, writer, data) == 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------------
// Garbage collection
// ---------------------------------------------------------------------------------

int lua_getgcthreshold(lua_State* L)
{
    return static_cast<int>(G(L)->mGcThreshold >> 10);
}

int lua_getgccount(lua_State* L)
{
    return static_cast<int>(G(L)->mBytesInUse >> 10);
}

void lua_setgcthreshold(lua_State* L, int newthreshold)
{
    if (newthreshold >= 4194304) {
        G(L)->mGcThreshold = 0xFFFFFFFFu; // no threshold
    } else {
        G(L)->mGcThreshold = static_cast<uint32_t>(newthreshold < 0 ? 0 : newthreshold) << 10;
    }
    luaC_checkGC(L);
}

// ---------------------------------------------------------------------------------
// Miscellaneous
// ---------------------------------------------------------------------------------

const char* lua_version()
{
    return kLuaVersion;
}

int lua_error(lua_State* L)
{
    luaG_errormsg(L);
}

int lua_next(lua_State* L, int idx)
{
    LTable* h = TableAt(L, idx);
    int more = luaH_next(L, h, L->mTop - 1);
    if (more) {
        ApiIncrTop(L);
    } else {
        L->mTop--;
    }
    return more;
}

void lua_concat(lua_State* L, int n)
{
    if (n >= 2) {
        luaC_checkGC(L);
        luaV_concat(L, n, static_cast<int>(L->mTop - L->mBase) - 1);
        L->mTop -= n - 1;
    } else if (n == 0) {
        lua_pushlstring(L, "", 0);
    }
}

int lua_wstrlen(const lua_WChar* s)
{
    int n = 0;
    while (s[n] != 0) {
        n++;
    }
    return n;
}

const char* lua_getupvalue(lua_State* L, int funcindex, int n)
{
    LValue* val = nullptr;
    const char* name = AuxUpvalue(L, funcindex, n, &val);
    if (name != nullptr) {
        Push(L, *val);
    }
    return name;
}

const char* lua_setupvalue(lua_State* L, int funcindex, int n)
{
    LValue* val = nullptr;
    const char* name = AuxUpvalue(L, funcindex, n, &val);
    if (name != nullptr) {
        L->mTop--;
        *val = *L->mTop;
    }
    return name;
}
