#pragma once
// Interned strings of both kinds: 8-bit strings (tag 4) and 16-bit wstrings (tag 9).
// Both live in one string table; two strings of the same kind and contents are the same
// object, so equality is pointer equality. A string and a wstring are never the same
// object, even for the same characters.

#include "engine/script/lua/objects/LValue.h"

#include <cstddef>
#include <cstdint>

// One layout for both kinds; the units follow the record, then one zero unit.
struct LString : LGCObject
{
    uint8_t mKeywordIndex; // 1..22 for the reserved words, else 0
    uint32_t mHash;
    uint32_t mLength; // bytes (tag 4) or 16-bit characters (tag 9)

    bool IsWide() const { return mTag == LUA_TWSTRING; }
    // 8-bit text, zero-terminated. Only for tag 4.
    const char* Text() const { return reinterpret_cast<const char*>(this + 1); }
    char* Text() { return reinterpret_cast<char*>(this + 1); }
    // 16-bit text, zero-terminated. Only for tag 9.
    const char16_t* WideText() const { return reinterpret_cast<const char16_t*>(this + 1); }
    char16_t* WideText() { return reinterpret_cast<char16_t*>(this + 1); }
    // Bytes the object occupies, record included.
    std::size_t ObjectSize() const;
};

static_assert(sizeof(LString) % alignof(char16_t) == 0, "wide text must follow aligned");

// The string table: chains of both kinds mixed, bucket count a power of two.
struct LStringTable
{
    LGCObject** mHash;
    uint32_t mNumUse;
    int mSize;
};

inline void LValue::SetAnyString(LString* s)
{
    SetGc(s->mTag, s);
}

// Hash of n units (bytes or 16-bit characters), the same rule for both kinds: long
// texts are sampled at about 32 places.
uint32_t luaS_hash(const char* text, std::size_t n);
uint32_t luaS_hashwide(const char16_t* text, std::size_t n);

// The interned 8-bit string of those bytes, created when absent.
LString* luaS_newlstr(lua_State* L, const char* text, std::size_t length);
// The interned 8-bit string of a zero-terminated text.
LString* luaS_new(lua_State* L, const char* text);
// The interned wstring of those characters, created when absent.
LString* luaS_newlwstr(lua_State* L, const char16_t* text, std::size_t count);

// Marks a string as never collected.
inline void luaS_fix(LString* s)
{
    s->mMarked |= kFixedBit;
}

// Rehashes every string into a bucket array of newSize (a power of two).
void luaS_resize(lua_State* L, int newSize);
// Frees one string object (the collector unlinks it from its chain first).
void luaS_freestring(lua_State* L, LString* s);
// Frees every string and the bucket array; at state close.
void luaS_freeall(lua_State* L);
