#pragma once
// A fresh interpreter state for one test, closed at the end.

#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/runtime/LState.h"

#include <gtest/gtest.h>

class LuaTestState
{
public:
    LuaTestState() : mState(lua_open()) { EXPECT_NE(mState, nullptr); }
    ~LuaTestState() { lua_close(mState); }
    LuaTestState(const LuaTestState&) = delete;
    LuaTestState& operator=(const LuaTestState&) = delete;

    lua_State* L() const { return mState; }

private:
    lua_State* mState;
};

// A test fixture over a fresh state with the base library open and an empty stack.
class LuaBaseStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        L = lua_open();
        ASSERT_NE(L, nullptr);
        luaopen_base(L);
        lua_settop(L, 0);
    }
    void TearDown() override { lua_close(L); }

    lua_State* L = nullptr;
};

#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"

#include <string>

// Runs body(L) under a recover point. Returns "" on success, else the error message
// (the stack is cut back to where it was).
template <typename Body> std::string RunProtected(lua_State* L, Body body)
{
    struct LCall
    {
        Body* mBody;
        static void Run(lua_State* L, void* ud) { (*static_cast<LCall*>(ud)->mBody)(L); }
    };
    LCall call{&body};
    LValue* top = L->mTop;
    const int status = luaD_rawrunprotected(L, &LCall::Run, &call);
    if (status == 0)
        return "";
    std::string message = L->mTop > top && (L->mTop - 1)->IsString()
                              ? (L->mTop - 1)->AsString()->Text()
                              : "status " + std::to_string(status);
    L->mTop = top;
    return message;
}
