#include "engine/script/LuaHooks.h"

#include "engine/foundation/files/TPackageList.h"
#include "engine/foundation/files/TPackageWriter.h"
#include "engine/foundation/files/TPathMap.h"
#include "tests/engine/script/ScriptTestSupport.h"

#include <cstdlib>

namespace {

class LuaHooksTest : public ScriptStateTest
{
protected:
    void SetUp() override
    {
        ScriptStateTest::SetUp();
        InstallLuaHooks();
    }

    std::string LoadAndRun(const std::string& path)
    {
        if (luaL_loadfile(L, path.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0)
            return std::string("error: ") + lua_tostring(L, -1);
        std::string result = lua_tostring(L, -1);
        lua_settop(L, 0);
        return result;
    }
};

TEST_F(LuaHooksTest, ScriptFilesAreReadThroughTheFileLayer)
{
    EXPECT_EQ(LoadAndRun(WriteFile("disk.lua", "return 'from disk'")), "from disk");

    // A package entry read as text: the file layer drops its carriage returns.
    TPackageWriter writer;
    ASSERT_TRUE(writer.Add("luahookstest/packaged.lua", "return [[from the\r\npackage]]\r\n"));
    ASSERT_TRUE(writer.WriteFile(mFolder / "scripts.hvp"));
    ASSERT_TRUE(LoadPackageDirectory(TPathMap::Get(), VirtualPath("scripts.hvp").c_str()));
    EXPECT_EQ(LoadAndRun("luahookstest/packaged.lua"), "from the\npackage");

    EXPECT_EQ(LoadAndRun(VirtualPath("missing.lua")),
              "error: cannot read " + VirtualPath("missing.lua") + ": No such file or directory");
}

TEST_F(LuaHooksTest, AnUnprotectedErrorEndsTheProcessAndIsLogged)
{
    EXPECT_EXIT(
        {
            lua_pushstring(L, "out of bounds");
            lua_error(L);
        },
        ::testing::ExitedWithCode(1), "unprotected error in call to Lua API: out of bounds");
    EXPECT_EQ(CountInLog("unprotected error in call to Lua API: out of bounds"), 1);
}

} // namespace
