#pragma once
// Tables: an array part for the keys 1..n and a hash part of 2^k nodes with chaining
// inside the node array (colliding keys move to a free node). Every table has a
// metatable at all times: its type's per-type table unless another one was set.

#include "engine/script/lua/objects/LValue.h"

#include <cstdint>

struct LNode
{
    LValue mKey;
    LValue mValue;
    LNode* mNext; // next node of the same main position's chain
};

struct LTable : LGCObject
{
    uint8_t mFlags;       // bit e: the metatable has no handler for event e (events 0..4)
    uint8_t mLogSizeNode; // log2 of the hash part's node count
    LTable* mMetatable;   // never null
    LValue* mArray;       // values of the keys 1..mSizeArray
    LNode* mNode;         // the hash part, or the global state's empty node
    LNode* mFirstFree;    // every node at or above it is in use
    LGCObject* mGcList;   // the collector's gray/weak list link
    int mSizeArray;

    int NodeCount() const { return 1 << mLogSizeNode; }
};

// New table with the given array size and log2 hash size; its metatable is the
// per-type table of tables (or, while the state opens, whatever slot 5 holds).
LTable* luaH_new(lua_State* L, int arraySize, int logHashSize);
// Frees the parts and the record.
void luaH_free(lua_State* L, LTable* t);

// Raw lookups; the shared nil when absent. The returned slot is read-only.
const LValue* luaH_get(LTable* t, const LValue* key);
const LValue* luaH_getnum(LTable* t, int key);
const LValue* luaH_getstr(LTable* t, LString* key);  // 8-bit key
const LValue* luaH_getwstr(LTable* t, LString* key); // wstring key

// The array-part slot of a number key that is an integer in 1..mSizeArray, else null.
// The interpreter loop's indexing goes through this before the general lookup.
inline LValue* luaH_arrayslot(LTable* t, const LValue* key)
{
    if (!key->IsNumber())
        return nullptr;
    const double n = key->AsNumber();
    if (!(n >= 1.0 && n <= static_cast<double>(t->mSizeArray)))
        return nullptr;
    const int k = static_cast<int>(n);
    return static_cast<double>(k) == n ? &t->mArray[k - 1] : nullptr;
}

// luaH_get with the array part looked up inline.
inline const LValue* luaH_fastget(LTable* t, const LValue* key)
{
    if (const LValue* slot = luaH_arrayslot(t, key))
        return slot;
    return luaH_get(t, key);
}

// Slot for the key, inserted (with a nil value) when absent. Raises "table index is
// nil", "table index is NaN" and "table overflow". Clears the absent-event flags.
LValue* luaH_set(lua_State* L, LTable* t, const LValue* key);
// luaH_set when luaH_get(t, key) has just given `existing` (the table unchanged since).
LValue* luaH_setlooked(lua_State* L, LTable* t, const LValue* key, const LValue* existing);
LValue* luaH_setnum(lua_State* L, LTable* t, int key);
LValue* luaH_setstr(lua_State* L, LTable* t, LString* key); // either string kind

// Traversal: given the key in *key (nil to start), writes the next key to key[0] and its
// value to key[1] and returns 1; returns 0 at the end. Raises "invalid key for `next'".
int luaH_next(lua_State* L, LTable* t, LValue* key);

// The node of the hash part at index i (for the collector and the API's length scan).
inline LNode* luaH_node(LTable* t, int i)
{
    return &t->mNode[i];
}
