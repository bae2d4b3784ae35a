#pragma once
// Raising run-time errors (status 1) with a formatted message.

struct lua_State;

// Formats the message (luaO_pushfstring formats), leaves it on the stack and raises
// LUA_ERRRUN.
[[noreturn]] void luaG_runerror(lua_State* L, const char* format, ...);
