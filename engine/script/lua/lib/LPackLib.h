#pragma once

struct lua_State;

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
