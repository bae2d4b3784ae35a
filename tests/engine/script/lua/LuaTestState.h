#pragma once
// A fresh interpreter state for one test, closed at the end.

#include "engine/script/lua/LState.h"

#include <gtest/gtest.h>

class LuaTestState {
public:
    LuaTestState() : mState(lua_open()) { EXPECT_NE(mState, nullptr); }
    ~LuaTestState() { lua_close(mState); }
    LuaTestState(const LuaTestState&) = delete;
    LuaTestState& operator=(const LuaTestState&) = delete;

    lua_State* L() const { return mState; }

private:
    lua_State* mState;
};
