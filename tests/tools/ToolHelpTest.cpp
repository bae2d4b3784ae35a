// What every tool does with --help, and with an input that is a folder.

#include "tests/tools/ToolTest.h"

#include <filesystem>

namespace {

using ToolHelpTest = ToolTest;

TEST_F(ToolHelpTest, HelpPrintsTheUsageLine)
{
    for (const char* tool : {"hvpack", "zxmlpack", "luarun", "scriptlist", "vfsdump", "anmconvert",
                             "mkmvec", "textdemo"}) {
        const TToolResult result = Run(tool, {"--help"});
        EXPECT_EQ(result.mStatus, 0) << tool;
        EXPECT_EQ(result.mOut.rfind(std::string("usage: ") + tool + " ", 0), 0u)
            << tool << ": " << result.mOut;
        EXPECT_EQ(result.mErr, "") << tool;
    }
}

// A folder given where a file is read is reported by name and reason, never an abort.
TEST_F(ToolHelpTest, AFolderForAnInputFileIsReportedByNameAndReason)
{
    std::filesystem::create_directory(mFolder / "dir");
    struct TCase
    {
        const char* mTool;
        std::vector<std::string> mArguments;
        const char* mMessage;
    };
    const TCase cases[] = {
        {"zxmlpack", {"dir", "out.zxml"}, "zxmlpack: cannot read dir: Is a directory\n"},
        {"zxmlpack", {"-d", "dir", "out.xml"}, "zxmlpack: cannot read dir: Is a directory\n"},
        {"scriptlist", {"dir"}, "scriptlist: cannot read dir: Is a directory\n"},
        {"hvpack", {"out.hvp", "x=dir"}, "hvpack: cannot read dir: Is a directory\n"},
        {"luarun", {"dir"}, "luarun: cannot read dir: Is a directory\n"},
        {"anmconvert", {"dir", "out.anm"}, "anmconvert: cannot read dir: Is a directory\n"},
        {"mkmvec", {"dir", "out.mvec"}, "mkmvec: cannot read dir: Is a directory\n"},
    };
    for (const TCase& c : cases) {
        const TToolResult result = Run(c.mTool, c.mArguments);
        EXPECT_EQ(result.mStatus, 1) << c.mTool;
        EXPECT_EQ(result.mErr, c.mMessage) << c.mTool;
        EXPECT_EQ(result.mOut, "") << c.mTool;
    }
}

} // namespace
