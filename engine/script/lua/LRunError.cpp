#include "engine/script/lua/LRunError.h"

#include "engine/script/lua/LErrorUnwind.h"
#include "engine/script/lua/LLimits.h"
#include "engine/script/lua/LObjectUtil.h"

#include <cstdarg>

// TODO: the position prefix of the running Lua function and the error handler call
// belong here once the call machinery exists.
void luaG_runerror(lua_State* L, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    luaO_pushvfstring(L, format, args);
    va_end(args);
    luaD_throw(L, LUA_ERRRUN);
}
