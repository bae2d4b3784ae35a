#pragma once
// Growth of a thread's value stack. Reallocation corrects every pointer into the
// stack: top, base, the open upvalues and every call frame's base and top.

#include "engine/script/lua/runtime/LState.h"

// Reallocates the stack to newSize usable slots (plus the spare ones).
void luaD_reallocstack(lua_State* L, int newSize);
// Makes room for n more values: doubles the stack when n fits in it, else adds n.
void luaD_growstack(lua_State* L, int n);

// Ensures n free slots above the top.
inline void luaD_checkstack(lua_State* L, int n)
{
    if (reinterpret_cast<char*>(L->mStackLast) - reinterpret_cast<char*>(L->mTop) <=
        static_cast<std::ptrdiff_t>(n * sizeof(LValue)))
        luaD_growstack(L, n);
}

// Moves the top up by one after a value was written there, growing when needed.
inline void luaD_incrtop(lua_State* L)
{
    luaD_checkstack(L, 1);
    ++L->mTop;
}
