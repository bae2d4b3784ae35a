// Fuzz target for string.format, string.pack and string.unpack arguments.
//
// The input is text: the first line names the function ("format", "pack" or
// "unpack"), and every further line is one argument, read by its first character:
//   n<number>  a number (text as the lexer reads it; bad text gives 0)
//   s<text>    a string          x<hex>  a string of those bytes
//   w<text>    a wstring         t / f   true / false
//   0          nil               (anything else) the rest of the line as a string
// Errors raised by the functions are expected; crashes, hangs and sanitizer reports are
// findings.

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(static_cast<char>(data[i]));
    }
    return lines;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

void PushArgument(lua_State* L, const std::string& line)
{
    const std::string rest = line.empty() ? std::string() : line.substr(1);
    switch (line.empty() ? 's' : line[0]) {
    case 'n': {
        char* end = nullptr;
        const double value = std::strtod(rest.c_str(), &end);
        lua_pushnumber(L, value);
        break;
    }
    case 'x': {
        std::string bytes;
        for (size_t i = 0; i + 1 < rest.size(); i += 2)
            bytes.push_back(static_cast<char>(HexValue(rest[i]) * 16 + HexValue(rest[i + 1])));
        lua_pushlstring(L, bytes.data(), bytes.size());
        break;
    }
    case 'w': {
        std::u16string wide;
        for (char c : rest)
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c) * 257));
        lua_pushlwstring(L, wide.data(), wide.size());
        break;
    }
    case 't':
        lua_pushboolean(L, 1);
        break;
    case 'f':
        lua_pushboolean(L, 0);
        break;
    case '0':
        lua_pushnil(L);
        break;
    case 's':
        lua_pushlstring(L, rest.data(), rest.size());
        break;
    default:
        lua_pushlstring(L, line.data(), line.size());
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0; // long inputs add nothing but time
    const std::vector<std::string> lines = Lines(data, size);
    const std::string& function = lines[0];
    if (function != "format" && function != "pack" && function != "unpack")
        return 0;
    lua_State* L = lua_open();
    if (!L)
        return 0;
    luaopen_string(L);
    lua_settop(L, 0);
    lua_pushstring(L, "string");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, function.c_str());
    lua_gettable(L, -2);
    const int first = lua_gettop(L);
    for (size_t i = 1; i < lines.size() && i < 40; ++i)
        PushArgument(L, lines[i]);
    lua_pcall(L, lua_gettop(L) - first, LUA_MULTRET, 0);
    lua_close(L);
    return 0;
}
