// Runs arbitrary bytes as a script in a limited state (see LimitedScriptState.h).

#include "engine/script/lua/LuaAux.h"
#include "fuzz/support/LimitedScriptState.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LimitedScriptState state;
    lua_State* L = state.L();
    if (L != nullptr &&
        luaL_loadbuffer(L, reinterpret_cast<const char*>(data), size, "=fuzz") == 0) {
        lua_pcall(L, 0, 0, 0);
    }
    return 0;
}
