#pragma once

struct lua_State;

// The string library: len, sub, lower, upper, char, rep, byte, format, dump, find,
// gfind, gsub and lualex in the global table "string", which also becomes the per-type
// table of strings (so ("abc"):upper() works), then pack and unpack (luaopen_pack).
// The functions work on 8-bit strings; a wstring where a string is expected is refused
// with "string expected, got wstring", except in format's %Q, gsub's replacement and
// the wide pack codes. Leaves the library table on the stack and returns 1.
int luaopen_string(lua_State* L);
