#pragma once

// Helpers with which bound functions read their arguments and push their results.

#include "engine/foundation/core/TString.h"

struct lua_State;
class TLuaTable;

// A new handle on the value at index (no type check: a missing argument gives a wrapped
// nil, which reads as an empty table), handed to the running script for auto-release:
// it stays valid until that script's next RunFunction or Resume made outside any call
// into the script (so through nested calls the taker makes).
TLuaTable* LuaTableFromStack(lua_State* L, int index);

// The value at index as an engine string: a string, or a number's text; "" otherwise.
TString GetLuaStringArg(lua_State* L, int index);

void LuaPushString(lua_State* L, TString text);

// The pointer a boxed pointer at index carries; null for any other value (a light
// userdata included), so a script cannot pass a forged address.
void* LuaToBoxedPointer(lua_State* L, int index);

// The thunk of plain functions taking one engine string and returning nothing, such as
// the "DebugOut" target: it calls the function with argument 1 and returns no results.
int LuaThunkStringArg(lua_State* L);
