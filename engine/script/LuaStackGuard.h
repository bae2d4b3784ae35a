#pragma once

#include "engine/script/lua/LuaApi.h"

// Notes the stack top of a state and sets it back when the guard ends, so a block of
// code that pushes values leaves the stack as it found it.
class LuaStackGuard
{
public:
    explicit LuaStackGuard(lua_State* L) : mState(L), mTop(lua_gettop(L)) {}
    ~LuaStackGuard() { lua_settop(mState, mTop); }
    LuaStackGuard(const LuaStackGuard&) = delete;
    LuaStackGuard& operator=(const LuaStackGuard&) = delete;

    int Top() const { return mTop; }

private:
    lua_State* mState;
    int mTop;
};
