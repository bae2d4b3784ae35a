#include "engine/script/TLuaObjectWrapper.h"

#include "ScriptTestSupport.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TLuaFunction.h"
#include "engine/script/TLuaThread.h"

#include <memory>

namespace {

class TLuaObjectWrapperTest : public ScriptStateTest
{
protected:
    bool RegistryHas(const void* key)
    {
        lua_pushlightuserdata(L, const_cast<void*>(key));
        lua_rawget(L, LUA_REGISTRYINDEX);
        bool present = !lua_isnil(L, -1);
        lua_pop(L, 1);
        return present;
    }
};

TEST_F(TLuaObjectWrapperTest, TwoWrappersOfOneValueAreIndependent)
{
    Run(L, "shared = { answer = 42 }");
    lua_pushstring(L, "shared");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushvalue(L, -1);
    auto first = std::make_unique<TLuaObjectWrapper>(L);
    auto second = std::make_unique<TLuaObjectWrapper>(L);
    EXPECT_EQ(lua_gettop(L), 0);
    const void* firstKey = first.get();
    EXPECT_TRUE(RegistryHas(firstKey));

    Run(L, "shared = nil; collectgarbage()");
    first.reset();
    EXPECT_FALSE(RegistryHas(firstKey));
    lua_setgcthreshold(L, 0);

    second->Push();
    ASSERT_TRUE(lua_istable(L, -1));
    lua_pushstring(L, "answer");
    lua_gettable(L, -2);
    EXPECT_EQ(lua_tonumber(L, -1), 42);
    lua_settop(L, 0);
    EXPECT_TRUE(second->IsTable());
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TLuaObjectWrapperTest, WrapperThatOutlivesItsStateLeavesItAlone)
{
    lua_newtable(L);
    auto wrapper = std::make_unique<TLuaObjectWrapper>(L);
    EXPECT_TRUE(wrapper->IsStateOpen());
    CloseState();
    EXPECT_FALSE(wrapper->IsStateOpen());
    EXPECT_FALSE(wrapper->IsTable());
    wrapper.reset(); // AddressSanitizer guards this
}

TEST_F(TLuaObjectWrapperTest, FunctionCallLeavesHandlerAndResultAboveTheCallersValues)
{
    Run(L, "function Answer() return 42 end "
           "function Fails() error('broken on purpose') end");
    lua_register(L, "_ALERT", [](lua_State* state) {
        TraceLog("Lua error: %s", lua_tostring(state, 1));
        return 0;
    });
    struct Case
    {
        const char* global;
        bool succeeds;
        int pushed; // values left above the caller's
    };
    const Case cases[] = {{"Answer", true, 2}, {"Fails", false, 2}, {"NotThere", false, 0}};
    for (const Case& c : cases) {
        lua_pushstring(L, "below");
        lua_pushnumber(L, 7);
        lua_pushstring(L, c.global);
        lua_gettable(L, LUA_GLOBALSINDEX);
        TLuaFunction function(L);
        EXPECT_EQ(function.Call(), c.succeeds) << c.global;
        ASSERT_EQ(lua_gettop(L), 2 + c.pushed) << c.global;
        EXPECT_STREQ(lua_tostring(L, 1), "below");
        EXPECT_EQ(lua_tonumber(L, 2), 7);
        if (c.pushed == 2) {
            EXPECT_TRUE(lua_isfunction(L, 3));
            if (c.succeeds)
                EXPECT_EQ(lua_tonumber(L, 4), 42);
            else
                EXPECT_TRUE(lua_isnil(L, 4));
        }
        lua_settop(L, 0);
    }
    EXPECT_EQ(CountInLog("Lua error: "), 1) << Log();
    EXPECT_EQ(CountInLog("broken on purpose\n"), 1) << Log();
}

TEST_F(TLuaObjectWrapperTest, ThreadStaysAliveThroughCollections)
{
    auto thread = std::make_unique<TLuaThread>(L);
    EXPECT_EQ(lua_gettop(L), 0);
    lua_setgcthreshold(L, 0);
    lua_State* co = thread->GetThreadState();
    Run(L, "function Twice(x) return x * 2 end");
    lua_pushstring(co, "Twice");
    lua_gettable(co, LUA_GLOBALSINDEX); // shares the globals
    lua_pushnumber(co, 21);
    ASSERT_EQ(lua_resume(co, 1), 0);
    EXPECT_EQ(lua_tonumber(co, -1), 42);
    thread.reset();
    lua_setgcthreshold(L, 0);
}

TEST_F(TLuaObjectWrapperTest, StackGuardRestoresTheTop)
{
    lua_pushnumber(L, 1);
    {
        LuaStackGuard guard(L);
        lua_pushnumber(L, 2);
        lua_pushnumber(L, 3);
    }
    EXPECT_EQ(lua_gettop(L), 1);
}

} // namespace
