#pragma once

// Shared pieces of the script binding tests: a temporary folder that also holds the debug
// log, a hand-driven clock, helpers that run script text on a state, and a fixture with a
// fresh state of its own.

#include "engine/foundation/core/DebugLog.h"
#include "engine/platform/TTimeSource.h"
#include "engine/script/TScript.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

class ScriptTest : public EngineStateTest
{
protected:
    void SetUp() override { InitLog(mFolder.Path().c_str()); }

    // Writes a file into the temporary folder and returns its virtual path.
    std::string WriteFile(const std::string& relative, const std::string& bytes) const
    {
        return "::" + mFolder.Write(relative, bytes);
    }
    std::string VirtualPath(const std::string& relative) const
    {
        return "::" + (mFolder / relative);
    }

    std::string Log() const { return TTempFolder::Read(mFolder / "logfile.txt"); }
    int CountInLog(const std::string& text) const
    {
        std::string log = Log();
        int count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            count++;
        return count;
    }

    // Runs text on L, expecting success; the stack is left as it was.
    static void Run(lua_State* L, const std::string& text)
    {
        int top = lua_gettop(L);
        ASSERT_EQ(luaL_loadbuffer(L, text.data(), text.size(), "test"), 0) << lua_tostring(L, -1);
        ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
        lua_settop(L, top);
    }
    // Runs text on L in protected mode and returns the error message ("" on success).
    static std::string RunError(lua_State* L, const std::string& text)
    {
        int top = lua_gettop(L);
        std::string message;
        if (luaL_loadbuffer(L, text.data(), text.size(), "test") != 0 ||
            lua_pcall(L, 0, 0, 0) != 0) {
            const char* error = lua_tostring(L, -1);
            message = error != nullptr ? error : "(not a string)";
        }
        lua_settop(L, top);
        return message;
    }
    static double GlobalNumber(lua_State* L, const char* name)
    {
        lua_pushstring(L, name);
        lua_gettable(L, LUA_GLOBALSINDEX);
        double value = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return value;
    }
    static std::string GlobalString(lua_State* L, const char* name)
    {
        lua_pushstring(L, name);
        lua_gettable(L, LUA_GLOBALSINDEX);
        const char* text = lua_tostring(L, -1);
        std::string value = text != nullptr ? text : "(nil)";
        lua_pop(L, 1);
        return value;
    }

    TTempFolder mFolder;
    TManualTimeSource mTime{5000};
};

// A ScriptTest with its own state L: the base library open, the stack empty. TearDown
// closes it; a test may close it earlier with CloseState.
class ScriptStateTest : public ScriptTest
{
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        L = lua_open();
        ASSERT_NE(L, nullptr);
        luaopen_base(L);
        lua_settop(L, 0);
    }
    void TearDown() override { CloseState(); }
    void CloseState()
    {
        if (L != nullptr)
            lua_close(L);
        L = nullptr;
    }

    lua_State* L = nullptr;
};
