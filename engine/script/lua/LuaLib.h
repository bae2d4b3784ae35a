#pragma once

// Openers of the script libraries. Each registers its functions into the state and
// leaves the stack as it found it (apart from values it documents).

#include "engine/script/lua/LuaApi.h"

#include <cstdio>

// The base functions, "_G", "_VERSION", "newproxy", the "coroutine" table, "_LOADED"
// and the registry names "_boolean" .. "_wstring" of the per-type tables.
int luaopen_base(lua_State* L);

// The string library: len, sub, lower, upper, char, rep, byte, format, dump, find,
// gfind, gsub and lualex in the global table "string", which also becomes the per-type
// table of strings (so ("abc"):upper() works), then pack and unpack (luaopen_pack).
// The functions work on 8-bit strings; a wstring where a string is expected is refused
// with "string expected, got wstring", except in format's %Q, gsub's replacement and
// the wide pack codes. Leaves the library table on the stack and returns 1.
int luaopen_string(lua_State* L);

// string.pack(format, values...) -> string and string.unpack(data, format[, start])
// -> next position, values...
//
// Codes, each optionally followed by a decimal count (missing or 0 means 1):
//   < = >        little-endian (< and =) or big-endian (>) for what follows
//   space ,      nothing
//   A z          a string's bytes; z adds a zero byte (unpack: A reads count bytes)
//   p P a        a 1-, 2- or 4-byte length, then the bytes
//   b c          1 byte, unsigned / signed
//   h H          2 bytes, signed / unsigned
//   i I l L      4 bytes, signed / unsigned
//   f            4-byte float
//   d n          8-byte double
//   B            1 byte from a boolean (1 or 0)
//   w            before A z p P a: the value is a wstring, 2 bytes per character
//   @N[:F]       pack only: marks the position; the next @ fills with byte F until N
//                bytes have been written since the mark
// pack consumes one value per count for every code but the endian codes and @. A
// length prefix too small for its string is an argument error. unpack never raises for
// short data: it stops at the first code whose data would run past the end and returns
// the position where it stopped. Registers both into the global table "string".
int luaopen_pack(lua_State* L);

// The table library in the global table "table": concat, foreach, foreachi, getn,
// setn, sort, insert and remove. Sizes go through luaL_getn/luaL_setn: the "n" field
// when it is a number, else the explicit size kept in the registry's weak sizes table,
// else the count of non-nil entries from 1. concat takes wstring elements by the low
// byte of each character. Leaves the library table on the stack and returns 1.
int luaopen_table(lua_State* L);

// The math library in the global table "math" (abs sin cos tan asin acos atan atan2
// ceil floor mod frexp ldexp sqrt min max log log10 exp deg pow rad random randomseed,
// and pi), and the global "__pow" that the `^` operator calls when an operand is not a
// number. Angles are in radians.
//
// math.random draws from a 15-bit linear congruential generator of the state's own
// (x = x * 214013 + 2531011, output (x >> 16) & 0x7fff, seed 1 until math.randomseed),
// so sequences are the same on every machine and every state starts alike.
// Leaves the library table on the stack and returns 1.
int luaopen_math(lua_State* L);

// Writes UTF-16 text to a stdio stream as UTF-8; an unpaired surrogate is written as
// U+FFFD.
void LuaWriteWide(std::FILE* stream, const lua_WChar* text, size_t count);
