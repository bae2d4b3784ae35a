#pragma once

struct lua_State;

// The table library in the global table "table": concat, foreach, foreachi, getn,
// setn, sort, insert and remove. Sizes go through luaL_getn/luaL_setn: the "n" field
// when it is a number, else the explicit size kept in the registry's weak sizes table,
// else the count of non-nil entries from 1. concat takes wstring elements by the low
// byte of each character. Leaves the library table on the stack and returns 1.
int luaopen_table(lua_State* L);
