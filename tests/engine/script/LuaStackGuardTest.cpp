#include "engine/script/LuaStackGuard.h"

#include "tests/engine/script/ScriptTestSupport.h"

namespace {

using LuaStackGuardTest = ScriptStateTest;

// Bindings that push values under a guard and then return or raise.
int PushesAndReturns(lua_State* L)
{
    {
        LuaStackGuard guard(L);
        lua_pushstring(L, "scratch");
        lua_newtable(L);
    }
    lua_pushstring(L, "result");
    return 1;
}

int PushesAndRaises(lua_State* L)
{
    LuaStackGuard guard(L);
    lua_pushstring(L, "scratch");
    lua_newtable(L);
    return luaL_error(L, "the binding failed");
}

int PushesAndCallsAFailingFunction(lua_State* L)
{
    LuaStackGuard guard(L);
    lua_pushstring(L, "scratch");
    lua_pushvalue(L, 1);
    lua_call(L, 0, 0);
    return 0;
}

int NestedGuardsRaise(lua_State* L)
{
    LuaStackGuard outer(L);
    lua_pushnumber(L, 1);
    LuaStackGuard inner(L);
    lua_pushnumber(L, 2);
    return luaL_error(L, "nested guards");
}

TEST_F(LuaStackGuardTest, PcallAroundABindingGetsItsMessage)
{
    lua_register(L, "PushesAndReturns", PushesAndReturns);
    lua_register(L, "PushesAndRaises", PushesAndRaises);
    lua_register(L, "PushesAndCallsAFailingFunction", PushesAndCallsAFailingFunction);
    lua_register(L, "NestedGuardsRaise", NestedGuardsRaise);
    struct TCase
    {
        const char* call;
        const char* expected; // what pcall hands back after its status
    };
    const TCase cases[] = {
        {"PushesAndReturns()", "true result"},
        {"PushesAndRaises()", "false [string \"test\"]:1: the binding failed"},
        {"PushesAndCallsAFailingFunction(function() error('inner failure', 0) end)",
         "false inner failure"},
        {"NestedGuardsRaise()", "false [string \"test\"]:1: nested guards"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.call);
        Run(L, std::string("local ok, value = pcall(function() return ") + c.call +
                   " end) seen = tostring(ok) .. ' ' .. tostring(value)");
        EXPECT_EQ(GlobalString(L, "seen"), c.expected);
        EXPECT_EQ(lua_gettop(L), 0);
    }
}

TEST_F(LuaStackGuardTest, AGuardStillResetsTheStackWhenItEndsNormally)
{
    lua_pushnumber(L, 1);
    {
        LuaStackGuard guard(L);
        EXPECT_EQ(guard.Top(), 1);
        lua_pushnumber(L, 2);
        lua_pushnumber(L, 3);
    }
    EXPECT_EQ(lua_gettop(L), 1);
}

} // namespace
