// Fuzz target for the precompiled chunk loader.
//
// An input starting with byte 27 is loaded as a chunk as it is (arbitrary bytes).
// Any other input is script source up to its first zero byte, followed by mutations:
// the source is compiled and dumped, then every 3 bytes of the rest (a 16-bit offset,
// little-endian, and a byte) overwrite one byte of the dump (offset modulo its size),
// and a final lone byte truncates it there. That reaches deep into valid chunks.
// Whatever loads is dumped and loaded again, which must succeed, and then run in a
// limited state (LimitedScriptState.h): loaded code must be as safe to run as to load.

#include "engine/script/lua/LuaAux.h"
#include "fuzz/support/LimitedScriptState.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

int Collect(lua_State*, const void* bytes, size_t size, void* data)
{
    static_cast<std::string*>(data)->append(static_cast<const char*>(bytes), size);
    return 0;
}

// Loads the chunk; on success checks that its dump loads too, then runs it.
void LoadRedumpAndRun(lua_State* L, const std::string& chunk)
{
    if (luaL_loadbuffer(L, chunk.data(), chunk.size(), "=fuzz") != 0)
        return;
    std::string again;
    if (lua_dump(L, Collect, &again)) {
        const int status = luaL_loadbuffer(L, again.data(), again.size(), "=fuzz again");
        if (status != 0 && status != LUA_ERRMEM)
            std::abort(); // a chunk we wrote ourselves must load
        lua_pop(L, 1);
    }
    lua_pcall(L, 0, 0, 0);
}

std::string MutatedDump(lua_State* L, const uint8_t* data, size_t size)
{
    size_t sourceLength = 0;
    while (sourceLength < size && data[sourceLength] != 0)
        ++sourceLength;
    std::string chunk;
    if (luaL_loadbuffer(L, reinterpret_cast<const char*>(data), sourceLength, "=source") != 0)
        return chunk;
    if (!lua_dump(L, Collect, &chunk) || chunk.empty())
        return std::string();
    size_t at = sourceLength + 1;
    for (; at + 3 <= size; at += 3) {
        const size_t offset = (data[at] | (size_t(data[at + 1]) << 8)) % chunk.size();
        chunk[offset] = static_cast<char>(data[at + 2]);
    }
    if (at < size)
        chunk.resize(data[at] % chunk.size());
    return chunk;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LimitedScriptState state;
    lua_State* L = state.L();
    if (!L)
        return 0;
    if (size > 0 && data[0] == 27)
        LoadRedumpAndRun(L, std::string(reinterpret_cast<const char*>(data), size));
    else
        LoadRedumpAndRun(L, MutatedDump(L, data, size));
    return 0;
}
