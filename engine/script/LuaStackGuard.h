#pragma once

#include "engine/script/lua/LuaApi.h"

#include <exception>

// Notes the stack top of a state and sets it back when the guard ends, so a block of
// code that pushes values leaves the stack as it found it.
//
// NOTE: a script error raised inside the guard's scope (luaL_error in a binding, or an
// error of a call it makes) unwinds through the guard with the error value on top of the
// stack; the protected call that catches it reads that value from there. The guard
// therefore leaves the stack alone while an exception unwinds it: the protected call
// resets the stack itself.
class LuaStackGuard
{
public:
    explicit LuaStackGuard(lua_State* L)
        : mState(L), mTop(lua_gettop(L)), mUnwinding(std::uncaught_exceptions())
    {
    }
    ~LuaStackGuard()
    {
        if (std::uncaught_exceptions() <= mUnwinding)
            lua_settop(mState, mTop);
    }
    LuaStackGuard(const LuaStackGuard&) = delete;
    LuaStackGuard& operator=(const LuaStackGuard&) = delete;

    int Top() const { return mTop; }

private:
    lua_State* mState;
    int mTop;
    int mUnwinding; // exceptions already unwinding when the guard was made
};
