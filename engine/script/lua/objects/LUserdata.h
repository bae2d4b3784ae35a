#pragma once
// Full userdata: a block of memory owned by the interpreter, with a metatable that is
// always set. The stored length is the requested size rounded up to an even number; a
// stored length of 1 marks a boxed pointer (the API stores a native pointer in the
// block and sets the length to 1 itself).

#include "engine/script/lua/objects/LValue.h"

#include <cstddef>
#include <cstdint>

struct LUserdata : LGCObject
{
    LTable* mMetatable;  // never null
    uint32_t mLength;    // even, or 1 for a boxed pointer
    uint32_t mBlockSize; // bytes allocated after the record

    void* Block() { return this + 1; }
    bool IsBoxedPointer() const { return (mLength & 1) != 0; }
};

static_assert(sizeof(LUserdata) % 8 == 0, "the block must be 8-byte aligned");

// New full userdata of `size' bytes (rounded up to even), metatable = per-type table 7,
// linked on the userdata list with its not-yet-finalised bit set.
LUserdata* luaS_newudata(lua_State* L, std::size_t size);
// Frees one userdata (already unlinked by the collector).
void luaS_freeudata(lua_State* L, LUserdata* u);
