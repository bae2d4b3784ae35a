#pragma once
// Error raising with debug names, and the debug information of call frames (lines,
// function names, variable kinds) behind lua_getstack/lua_getinfo.

#include "engine/script/lua/runtime/LState.h"

// Raises the type error "attempt to <op> <kind> `<name>' (a <type> value)" when the
// value is a named local, global, field or method of the running Lua function, else
// "attempt to <op> a <type> value".
[[noreturn]] void luaG_typeerror(lua_State* L, const LValue* o, const char* op);
// Concatenation error: names the left operand unless that one could be joined.
[[noreturn]] void luaG_concaterror(lua_State* L, const LValue* p1, const LValue* p2, bool wide);
// Arithmetic error: about the left operand, or the right one when the left converts.
[[noreturn]] void luaG_aritherror(lua_State* L, const LValue* p1, const LValue* p2);
// "attempt to compare two %s values" / "attempt to compare %s with %s".
[[noreturn]] void luaG_ordererror(lua_State* L, const LValue* p1, const LValue* p2);
// Raises the error value on top: calls the error handler first when one is set.
[[noreturn]] void luaG_errormsg(lua_State* L);

// The current line of the Lua frame ci, or -1.
int luaG_currentline(lua_State* L, LCallInfo* ci);
// Prefixes the message on top with "chunk:line: " when the running function is a Lua
// function.
void luaG_addposition(lua_State* L);
