// vfsdump as its users meet it: what the game would not find, or would refuse, is said.

#include "tests/tools/ToolTest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using VfsdumpTest = ToolTest;

TEST_F(VfsdumpTest, ListsEveryKeyWithItsLocation)
{
    Write("game/assets/Scripts/Config.lua", "x");
    Write("game/assets/strings.xml", "<strings/>");
    const TToolResult result =
        Run("vfsdump", {"game", "--resolve", "scripts/config.lua", "--resolve", "none"});
    EXPECT_EQ(result.mStatus, 0) << result.mErr;
    EXPECT_EQ(result.mErr, "");
    EXPECT_NE(result.mOut.find("scripts/config.lua"), std::string::npos) << result.mOut;
    EXPECT_NE(result.mOut.find("game/assets/Scripts/Config.lua"), std::string::npos) << result.mOut;
    EXPECT_NE(result.mOut.find("none -> (not found)\n"), std::string::npos) << result.mOut;
}

TEST_F(VfsdumpTest, WhatIsMissingOrRefusedIsSaid)
{
    Write("plain/readme.txt", "x");
    Write("notpack/assets/bad.hvp", "not a package at all");
    Write("damaged/assets/x.hvp", std::string("HVPK\x05\0\0\0", 8));
    Write("biglist/assets/a.txt", "a");
    Write("biglist/final.txt", std::string(100000, ' '));
    struct TCase
    {
        std::vector<std::string> mArguments;
        int mStatus;
        std::string mMessage;
    };
    const TCase cases[] = {
        {{"nothere"}, 1, "vfsdump: nothere: no such folder\n"},
        {{"plain"},
         1,
         "vfsdump: plain/assets: no such folder, so the game finds no content here\n"},
        {{"notpack"},
         1,
         "vfsdump: assets/bad.hvp: refused as a package: not a package (it does not begin with "
         "\"HVPK\")\n"},
        {{"damaged"},
         1,
         "package: ::assets/x.hvp: 5 entries do not fit the file\n"
         "vfsdump: assets/x.hvp: refused as a package: its directory is damaged\n"},
        {{"biglist"},
         0,
         "files: biglist/final.txt: 100000 bytes, not below the limit of 100000: not read, nothing "
         "is left "
         "out\n"},
    };
    for (const TCase& c : cases) {
        const TToolResult result = Run("vfsdump", c.mArguments);
        EXPECT_EQ(result.mStatus, c.mStatus) << c.mArguments[0];
        EXPECT_EQ(result.mErr, c.mMessage) << c.mArguments[0];
    }
}

} // namespace
