#include "engine/script/lua/runtime/LRunError.h"

#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/runtime/LDebugInfo.h"

#include <cstdarg>

// The message gets the position of the running Lua function, then goes through the
// error handler (when one is set) before the throw.
void luaG_runerror(lua_State* L, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    luaO_pushvfstring(L, format, args);
    va_end(args);
    luaG_addposition(L);
    luaG_errormsg(L);
}
