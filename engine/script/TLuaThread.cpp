#include "engine/script/TLuaThread.h"

#include "engine/script/TLuaObjectWrapper.h"
#include "engine/script/lua/LuaApi.h"

TLuaThread::TLuaThread(lua_State* L)
{
    mThread = lua_newthread(L);
    mKeepAlive = std::make_unique<TLuaObjectWrapper>(L);
}

TLuaThread::~TLuaThread() = default;
