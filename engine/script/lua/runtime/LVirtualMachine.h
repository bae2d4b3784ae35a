#pragma once
// The virtual machine: runs the instructions of Lua frames, and the value operations
// it shares with the API (conversions, indexing with handlers, comparisons,
// concatenation).

#include "engine/script/lua/runtime/LState.h"

// Runs the current Lua frame until it returns to a frame that was not called inline
// by this loop; returns its first result (the results run up to the top), or null when
// the thread yielded.
LValue* luaV_execute(lua_State* L);

// The value itself when it is a number, else its conversion written to *n (numeric
// strings and wstrings), else null.
const LValue* luaV_tonumber(const LValue* obj, LValue* n);
// A number slot becomes the 8-bit string of its "%.14g" text: 1; otherwise 0.
int luaV_tostring(lua_State* L, LValue* obj);
// A number slot becomes the wstring of its "%.14g" text: 1; otherwise 0.
int luaV_towstring(lua_State* L, LValue* obj);

// t[key] with the "__index" handlers (at most 100 steps) into the stack slot val.
void luaV_gettable(lua_State* L, const LValue* t, const LValue* key, LValue* val);
// t[key] = val with the "__newindex" handlers (at most 100 steps).
void luaV_settable(lua_State* L, const LValue* t, const LValue* key, const LValue* val);

int luaV_equalObj(lua_State* L, const LValue* t1, const LValue* t2);
int luaV_lessthan(lua_State* L, const LValue* l, const LValue* r);
int luaV_lessequal(lua_State* L, const LValue* l, const LValue* r);

// Concatenates `total' values ending at register `last' of the current frame, leaving
// the result in the first of them.
void luaV_concat(lua_State* L, int total, int last);

// The "%.14g" text of a number.
void luaV_numbertext(double n, char* out, std::size_t size);
