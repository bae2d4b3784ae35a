#pragma once

// Openers of the script libraries. Each registers its functions into the state and
// leaves the stack as it found it (apart from values it documents).

#include "engine/script/lua/LuaApi.h"

#include <cstdio>

// The base functions, "_G", "_VERSION", "newproxy", the "coroutine" table, "_LOADED"
// and the registry names "_boolean" .. "_wstring" of the per-type tables.
int luaopen_base(lua_State* L);

// Writes UTF-16 text to a stdio stream as UTF-8; an unpaired surrogate is written as
// U+FFFD.
void LuaWriteWide(std::FILE* stream, const lua_WChar* text, size_t count);
