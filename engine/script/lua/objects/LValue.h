#pragma once
// The interpreter's value record and the header shared by every collectable object.
//
// A value is a tag plus an 8-byte payload: a double for numbers, 0/1 for booleans and a
// pointer for everything else. Tags 4 and above are collectable objects, which all start
// with LGCObject so the collector can chain, mark and free them without knowing more.

#include "engine/script/lua/LuaApi.h"

#include <cstdint>

struct LGCObject;
struct LString;
struct LTable;
struct LClosure;
struct LUserdata;
struct LProto;
struct LUpval;
struct lua_State;

// Value type tags LUA_TNONE .. LUA_TWSTRING come from the public header; `type()` and
// messages name them through luaT_typenames.
constexpr int kNumTags = 10;   // value tags 0..9
constexpr int LUA_TPROTO = 10; // internal objects: never carried by a value
constexpr int LUA_TUPVAL = 11;

// Mark byte bits of the collectable header.
constexpr uint8_t kMarkBit = 1 << 0;         // reached in the current collection
constexpr uint8_t kKeyWeakBit = 1 << 1;      // table: weak keys
constexpr uint8_t kNotFinalizedBit = 1 << 1; // full userdata: __gc not yet run
constexpr uint8_t kValueWeakBit = 1 << 2;    // table: weak values
constexpr uint8_t kFixedBit = 1 << 4;        // never collected

// Header at the start of every collectable object.
struct LGCObject
{
    LGCObject* mNext; // the collector's list this object lives on
    uint8_t mTag;     // LUA_TSTRING .. LUA_TUPVAL
    uint8_t mMarked;  // the bits above
};

inline bool IsCollectableTag(int tag)
{
    return tag >= LUA_TSTRING;
}

union LPayload {
    LGCObject* mGc;
    void* mPointer; // light userdata
    double mNumber;
    int mBool;
};

struct LValue
{
    int mTag;
    LPayload mPayload;

    int Tag() const { return mTag; }
    bool IsNil() const { return mTag == LUA_TNIL; }
    bool IsNumber() const { return mTag == LUA_TNUMBER; }
    bool IsString() const { return mTag == LUA_TSTRING; }
    bool IsWString() const { return mTag == LUA_TWSTRING; }
    bool IsAnyString() const { return mTag == LUA_TSTRING || mTag == LUA_TWSTRING; }
    bool IsTable() const { return mTag == LUA_TTABLE; }
    bool IsFunction() const { return mTag == LUA_TFUNCTION; }
    bool IsBoolean() const { return mTag == LUA_TBOOLEAN; }
    bool IsUserdata() const { return mTag == LUA_TUSERDATA; }
    bool IsThread() const { return mTag == LUA_TTHREAD; }
    bool IsCollectable() const { return IsCollectableTag(mTag); }
    // nil and false are false; everything else is true.
    bool IsFalse() const
    {
        return mTag == LUA_TNIL || (mTag == LUA_TBOOLEAN && mPayload.mBool == 0);
    }

    double AsNumber() const { return mPayload.mNumber; }
    int AsBoolean() const { return mPayload.mBool; }
    void* AsLightUserdata() const { return mPayload.mPointer; }
    LGCObject* AsGc() const { return mPayload.mGc; }
    LString* AsString() const
    {
        return reinterpret_cast<LString*>(mPayload.mGc);
    } // both string kinds
    LTable* AsTable() const { return reinterpret_cast<LTable*>(mPayload.mGc); }
    LClosure* AsClosure() const { return reinterpret_cast<LClosure*>(mPayload.mGc); }
    LUserdata* AsUserdata() const { return reinterpret_cast<LUserdata*>(mPayload.mGc); }
    lua_State* AsThread() const { return reinterpret_cast<lua_State*>(mPayload.mGc); }

    void SetNil()
    {
        mTag = LUA_TNIL;
        mPayload.mGc = nullptr;
    }
    void SetNumber(double n)
    {
        mTag = LUA_TNUMBER;
        mPayload.mNumber = n;
    }
    void SetBoolean(bool b)
    {
        mTag = LUA_TBOOLEAN;
        mPayload.mGc = nullptr;
        mPayload.mBool = b ? 1 : 0;
    }
    void SetLightUserdata(void* p)
    {
        mTag = LUA_TLIGHTUSERDATA;
        mPayload.mPointer = p;
    }
    void SetString(LString* s) { SetGc(LUA_TSTRING, s); }
    void SetWString(LString* s) { SetGc(LUA_TWSTRING, s); }
    // An interned string of either kind, keeping its own tag.
    void SetAnyString(LString* s);
    void SetTable(LTable* t) { SetGc(LUA_TTABLE, t); }
    void SetClosure(LClosure* c) { SetGc(LUA_TFUNCTION, c); }
    void SetUserdata(LUserdata* u) { SetGc(LUA_TUSERDATA, u); }
    void SetThread(lua_State* t) { SetGc(LUA_TTHREAD, t); }

    template <typename T> void SetGc(int tag, T* object)
    {
        mTag = tag;
        mPayload.mGc = reinterpret_cast<LGCObject*>(object);
    }
};

// The shared nil that lookups return for absent entries; never written.
extern const LValue kNilValue;
