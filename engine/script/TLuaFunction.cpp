#include "engine/script/TLuaFunction.h"

#include "engine/script/lua/LuaApi.h"

bool TLuaFunction::Call()
{
    if (!IsStateOpen())
        return false;
    lua_State* L = GetState();
    Push();
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    // The handler goes right below the function, not to the bottom of the stack, so
    // the values a caller has there keep their places.
    lua_pushstring(L, "_ALERT");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_insert(L, -2);
    int handler = lua_gettop(L) - 1;
    return lua_pcall(L, 0, 1, handler) == 0;
}
