#pragma once
// The stop-the-world mark-and-sweep collector: weak tables by "__mode" ('k' and/or
// 'v'), finalisers by "__gc" on full userdata. Strings and wstrings are never weak.
//
// A collection runs only at the check points (luaC_checkGC): after calls, chunk
// loading, concatenation, table and closure creation and where the API checks. Callers
// must refresh every pointer into a stack after a check, since the collector may shrink
// stacks and call-frame arrays.

#include "engine/script/lua/runtime/LState.h"

// One full collection, then the pending finalisers.
void luaC_collectgarbage(lua_State* L);

// Collects when the bytes in use have reached the threshold (always in stress mode).
void luaC_checkGC(lua_State* L);

// Stress mode: every check collects. Process-wide; for tests.
void luaC_setstress(bool on);
bool luaC_stress();

// At state close: runs the finaliser of every full userdata that still has one
// pending, each exactly once, ignoring errors.
void luaC_callallgcTM(lua_State* L);
