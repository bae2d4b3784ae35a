#pragma once
// Small helpers on values: raw equality, text to number, formatted messages, chunk
// names and the size encodings of compiled code.

#include "engine/script/lua/objects/LValue.h"

#include <bit>
#include <cstdarg>
#include <cstddef>

// Raw equality: different tags differ; numbers and booleans by value; the rest by
// identity (so a string never equals a wstring).
bool luaO_rawequalObj(const LValue* a, const LValue* b);

// 8-bit text to number: optional leading white space, sign, decimal digits, fraction,
// exponent, trailing white space. No hexadecimal form, no inf or nan, no locale.
// Returns 1 and writes *result, or 0.
int luaO_str2d(const char* text, double* result);
// The same over a counted text (it may hold zero bytes, which are not white space).
int luaO_str2dn(const char* text, std::size_t length, double* result);

// 16-bit text to number: decimal, or 0x/0X hexadecimal with an optional fraction and
// then an optional p exponent; no leading white space, trailing white space allowed.
int luaO_wstr2d(const char16_t* text, std::size_t length, double* result);

// Formats a message ("%s", "%c", "%d", "%f", "%%"), pushes it as a string on L's stack
// and returns its text.
const char* luaO_pushfstring(lua_State* L, const char* format, ...);
const char* luaO_pushvfstring(lua_State* L, const char* format, va_list args);

// Short name of a chunk source for messages, in a buffer of bufferLength characters.
void luaO_chunkid(char* out, const char* source, int bufferLength);

// Floating-byte size encoding: (e << 3) | m stands for m << e.
int luaO_int2fb(unsigned int x);
// Decoding; exponents too large for an int give INT_MAX (which no table accepts).
inline int luaO_fb2int(int b)
{
    const int e = b >> 3;
    return e > 27 ? 2147483647 : (b & 7) << e;
}
// Position of the highest set bit; -1 for 0.
inline int luaO_log2(unsigned int x)
{
    return static_cast<int>(std::bit_width(x)) - 1;
}
