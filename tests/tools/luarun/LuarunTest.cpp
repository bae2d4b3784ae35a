// luarun as its users meet it: a script loads files by any path the shell could open.

#include "tests/tools/ToolTest.h"

#include <string>

namespace {

using LuarunTest = ToolTest;

TEST_F(LuarunTest, DofileReadsAnyPathTheShellCouldOpen)
{
    Write("lib/x.lua", "print('lib')\n");
    Write("y.lua", "print('dot')\n");
    Write("abs.lua", "print('absolute')\n");
    Write("main.lua", "dofile('lib/x.lua') dofile('./y.lua') dofile('" +
                          (mFolder / "abs.lua").string() +
                          "') dofile('lib/../y.lua')\n"
                          "print(pcall(dofile, 'none.lua'))\n");
    const TToolResult result = Run("luarun", {"main.lua"});
    EXPECT_EQ(result.mStatus, 0) << result.mErr;
    EXPECT_EQ(result.mOut,
              "lib\ndot\nabsolute\ndot\nfalse\tcannot read none.lua: No such file or directory\n");

    const TToolResult fromInput = Run("luarun", {"/dev/stdin"}, "lib/x.lua");
    EXPECT_EQ(fromInput.mStatus, 0) << fromInput.mErr;
    EXPECT_EQ(fromInput.mOut, "lib\n");

    const TToolResult missing = Run("luarun", {"none.lua"});
    EXPECT_EQ(missing.mStatus, 1);
    EXPECT_EQ(missing.mErr, "luarun: cannot read none.lua: No such file or directory\n");
}

// Help is asked for only before the script: after it, "-h" and "--help" are the script's.
TEST_F(LuarunTest, TheScriptsArgumentsMayLookLikeHelp)
{
    Write("args.lua", "print(arg[0], arg[1], arg[2])\n");
    const TToolResult result = Run("luarun", {"args.lua", "--help", "-h"});
    EXPECT_EQ(result.mStatus, 0) << result.mErr;
    EXPECT_EQ(result.mOut, "args.lua\t--help\t-h\n");
}

} // namespace
