#include "engine/script/lua/lib/LLibSupport.h"

#include "engine/script/lua/LuaAux.h"

#include <cstring>
#include <limits>
#include <string>

int64_t LLibSupport::ToInt64(double value)
{
    // Both bounds are exact doubles; NaN fails the comparison.
    if (value >= -9223372036854775808.0 && value < 9223372036854775808.0)
        return static_cast<int64_t>(value);
    return INT64_MIN;
}

int32_t LLibSupport::ToInt32(double value)
{
    return static_cast<int32_t>(ToUInt32(value));
}

uint32_t LLibSupport::ToUInt32(double value)
{
    return static_cast<uint32_t>(static_cast<uint64_t>(ToInt64(value)));
}

float LLibSupport::ToFloat(double value)
{
    if (value > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

void LLibSupport::AppendBytes(std::string& out, uint64_t value, int byteCount, bool bigEndian)
{
    for (int i = 0; i < byteCount; ++i) {
        const int shift = 8 * (bigEndian ? byteCount - 1 - i : i);
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void LLibSupport::AppendReal(std::string& out, double value, bool asFloat, bool bigEndian)
{
    if (asFloat) {
        const float narrow = ToFloat(value);
        uint32_t bits;
        std::memcpy(&bits, &narrow, sizeof bits);
        AppendBytes(out, bits, 4, bigEndian);
        return;
    }
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendBytes(out, bits, 8, bigEndian);
}

int64_t LLibSupport::CheckInteger(lua_State* L, int arg)
{
    return ToInt64(luaL_checknumber(L, arg));
}

int64_t LLibSupport::OptInteger(lua_State* L, int arg, int64_t fallback)
{
    if (lua_isnoneornil(L, arg))
        return fallback;
    return CheckInteger(L, arg);
}

int64_t LLibSupport::RelativePosition(int64_t position, size_t length)
{
    if (position >= 0)
        return position;
    return static_cast<int64_t>(length) + position + 1;
}

void LLibSupport::NarrowTop(lua_State* L)
{
    const char16_t* text = lua_towstring(L, -1);
    const size_t length = lua_strlen(L, -1);
    std::string narrow(length, '\0');
    for (size_t i = 0; i < length; ++i)
        narrow[i] = static_cast<char>(text[i] & 0xFF);
    lua_pop(L, 1);
    lua_pushlstring(L, narrow.data(), narrow.size());
}

bool LLibSupport::AddNarrowValue(luaL_Buffer* buffer, lua_State* L)
{
    if (lua_type(L, -1) == LUA_TWSTRING)
        NarrowTop(L);
    else if (!lua_isstring(L, -1))
        return false;
    luaL_addvalue(buffer);
    return true;
}
