#include "engine/script/TEmbeddedScript.h"

#include "engine/script/lua/LuaAux.h"

int TEmbeddedScript::Load(lua_State* L) const
{
    return luaL_loadbuffer(L, mText, mLength, mChunkName);
}

int TEmbeddedScript::Run(lua_State* L) const
{
    return lua_dobuffer(L, mText, mLength, mChunkName);
}
