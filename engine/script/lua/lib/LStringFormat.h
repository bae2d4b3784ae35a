#pragma once

#include <cstddef>
#include <string>

struct lua_State;

// string.format: the C conversions c d i o u x X e E f g G s q with the flags "-+ #0",
// widths and precisions of at most two digits, and the dialect's additions:
//   %B   truthiness of a boolean or nil ("true"/"false");
//   %Q   quoting that the lexer reads back, for strings and wstrings;
//   %bF %bf %bd %bw %bb   raw little-endian bytes of a number (8-byte double, 4-byte
//        float, 4, 2 and 1 bytes of its integer truncation); %b with any other letter
//        uses up its argument and writes nothing.
// c, d and i take the number truncated to a 32-bit integer; o, u, x and X the low 32
// bits of its 64-bit truncation (so -1 with %x gives ffffffff).
class LStringFormat
{
public:
    static int Format(lua_State* L);

    // The %Q quoting of 8-bit text and of 16-bit text.
    static std::string QuoteNarrow(const char* text, size_t length);
    static std::string QuoteWide(const char16_t* text, size_t length);

    // The %q quoting: double quotes, a backslash before '"', '\\' and newline, and a
    // zero byte as "\000".
    static std::string QuoteClassic(const char* text, size_t length);
};
