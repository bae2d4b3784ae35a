#include "engine/script/TLuaObjectWrapper.h"

#include "engine/script/TLuaStateRecord.h"
#include "engine/script/lua/LuaApi.h"

TLuaObjectWrapper::TLuaObjectWrapper(lua_State* L) : mRecord(TLuaStateRecord::Of(L))
{
    mState = mRecord->mMainThread;
    lua_pushlightuserdata(L, this);
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

TLuaObjectWrapper::~TLuaObjectWrapper()
{
    if (!IsStateOpen())
        return;
    lua_pushlightuserdata(mState, this);
    lua_pushnil(mState);
    lua_rawset(mState, LUA_REGISTRYINDEX);
}

bool TLuaObjectWrapper::IsStateOpen() const
{
    return !mRecord->mClosed;
}

void TLuaObjectWrapper::Push() const
{
    Push(mState);
}

void TLuaObjectWrapper::Push(lua_State* L) const
{
    lua_pushlightuserdata(L, const_cast<TLuaObjectWrapper*>(this));
    lua_rawget(L, LUA_REGISTRYINDEX);
}

bool TLuaObjectWrapper::IsTable() const
{
    if (!IsStateOpen())
        return false;
    Push();
    bool isTable = lua_istable(mState, -1);
    lua_pop(mState, 1);
    return isTable;
}
