#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct lua_State;
struct luaL_Buffer;

// Argument helpers shared by the string, pack, table and math libraries.
//
// Numbers become integers by the interpreter's one rule: truncation toward zero to a
// signed 64-bit integer, where NaN and values outside that range give the pattern with
// only the top bit set; 32-bit integers are the low 32 bits of that. No conversion here
// has undefined behaviour, whatever the double.
class LLibSupport
{
public:
    // Strings that the libraries build from a count (string.rep, pack fills) stay
    // below this size; asking for more is a script error, not an allocation.
    static constexpr uint64_t kMaxBuiltString = uint64_t(1) << 30;

    static int64_t ToInt64(double value);
    static int32_t ToInt32(double value);
    static uint32_t ToUInt32(double value);
    // Doubles beyond the float range become infinities.
    static float ToFloat(double value);

    // Appends the low byteCount bytes of value, least significant first unless
    // bigEndian is set.
    static void AppendBytes(std::string& out, uint64_t value, int byteCount, bool bigEndian);
    // Appends the IEEE bytes of value as an 8-byte double or (asFloat) a 4-byte float.
    static void AppendReal(std::string& out, double value, bool asFloat, bool bigEndian);

    // luaL_checknumber / luaL_optnumber converted by the rule above.
    static int64_t CheckInteger(lua_State* L, int arg);
    static int64_t OptInteger(lua_State* L, int arg, int64_t fallback);

    // A string position as the string functions read it: negative counts from the end
    // (-1 is the last byte). The result may still lie outside 1..length.
    static int64_t RelativePosition(int64_t position, size_t length);

    // Appends the value on the stack top as 8-bit text and pops it, as luaL_addvalue
    // does: a string as it is, a number by its "%.14g" text, a wstring by the low byte
    // of each character (the tostring rule). Returns false, leaving the value where it
    // is, for any other type. This is the one place where the libraries turn a value
    // that may be a wstring into narrow text.
    static bool AddNarrowValue(luaL_Buffer* buffer, lua_State* L);

    // Replaces the wstring at the stack top by its narrow text (low bytes).
    static void NarrowTop(lua_State* L);
};
