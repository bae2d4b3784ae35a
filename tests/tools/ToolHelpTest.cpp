// What every tool of tools/ does the same way: --help and -h, a wrong command line,
// numbers on the command line, an input that is a folder, and output folders.

#include "tests/tools/ToolTest.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using ToolHelpTest = ToolTest;

struct TTool
{
    const char* mName;
    std::vector<std::string> mWork;  // a command line it would act on
    std::vector<std::string> mWrong; // a command line it refuses with its usage line
};

// Every program and script of tools/.
const TTool kTools[] = {
    {"anmconvert", {"a.xml", "out.anm"}, {"a.xml"}},
    {"check-format", {"--fix"}, {"--all"}},
    {"hvpack", {"out.hvp", "content"}, {"out.hvp"}},
    {"image-seeds", {"png", "jpeg"}, {"png"}},
    {"install-deps", {}, {"now"}},
    {"luarun", {"--gc-stress"}, {}},
    {"make-fuzz-seeds", {"build"}, {}},
    {"mkmvec", {"font.ttf", "out.mvec"}, {"font.ttf"}},
    {"oggsynth", {"out.ogg", "--seconds", "1"}, {"out.ogg", "--seconds"}},
    {"particledemo", {"out", "1"}, {}},
    {"prefs-seeds", {"out"}, {}},
    {"run-fuzzers", {"bin", "corpus", "1"}, {"bin"}},
    {"run-shuffled", {"build", "1"}, {}},
    {"scriptlist", {"a.lua"}, {}},
    {"sounddemo", {}, {"loud"}},
    {"spritedemo", {"out", "1"}, {}},
    {"textdemo", {"out"}, {}},
    {"texturedemo", {"out"}, {}},
    {"vfsdump", {"."}, {"--all"}},
    {"xclose", {"Velmora Spa", "1"}, {}},
    {"xpeek", {"1", "0", "0"}, {"1"}},
    {"zxmlpack", {"a.xml", "out.xml"}, {"a.xml"}},
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST_F(ToolHelpTest, EveryToolOfTheFolderIsInTheTable)
{
    std::set<std::string> found;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "tools")) {
        const std::string name = entry.path().filename().string();
        const bool program = entry.is_directory() && name != "support";
        const bool script = entry.is_regular_file() && (entry.status().permissions() &
                                                        fs::perms::owner_exec) != fs::perms::none;
        if (program || script)
            found.insert(name);
    }
    std::set<std::string> listed;
    for (const TTool& tool : kTools)
        listed.insert(tool.mName);
    EXPECT_EQ(found, listed);
}

// --help alone, or -h at the end of a command line the tool would act on, prints what it
// does, its usage and its options, and does nothing else.
TEST_F(ToolHelpTest, EveryToolAnswersHelpAndDoesNothingElse)
{
    for (const TTool& tool : kTools) {
        std::vector<std::string> withWork = tool.mWork;
        withWork.push_back("-h");
        const TToolResult alone = Run(tool.mName, {"--help"});
        const TToolResult atEnd = Run(tool.mName, withWork);
        SCOPED_TRACE(tool.mName);
        for (const TToolResult* result : {&alone, &atEnd}) {
            EXPECT_EQ(result->mStatus, 0);
            EXPECT_EQ(result->mErr, "");
        }
        EXPECT_TRUE(fs::is_empty(mFolder));
        EXPECT_EQ(atEnd.mOut, alone.mOut);
        const std::vector<std::string> lines = Lines(alone.mOut);
        ASSERT_GE(lines.size(), 3u) << alone.mOut;
        const std::string usage = std::string("usage: ") + tool.mName;
        EXPECT_TRUE(lines[0] == usage || lines[0].rfind(usage + " ", 0) == 0) << lines[0];
        EXPECT_FALSE(lines[1].empty());
        EXPECT_EQ(lines[1].back(), '.') << lines[1];
        EXPECT_EQ(lines.back(), "  -h, --help          print this help and do nothing else");
    }
}

TEST_F(ToolHelpTest, AWrongCommandLineGetsTheUsageLine)
{
    for (const TTool& tool : kTools) {
        const TToolResult result = Run(tool.mName, tool.mWrong);
        SCOPED_TRACE(tool.mName);
        EXPECT_EQ(result.mStatus, 2);
        const std::vector<std::string> lines = Lines(result.mErr);
        ASSERT_EQ(lines.size(), 1u) << result.mErr;
        EXPECT_EQ(lines[0].rfind(std::string("usage: ") + tool.mName, 0), 0u) << lines[0];
        EXPECT_EQ(result.mOut, "");
        EXPECT_TRUE(fs::is_empty(mFolder));
    }
}

// A number that is not one, or lies outside its range, is refused by the option's name
// before anything is done.
TEST_F(ToolHelpTest, NumbersOnTheCommandLineAreReadStrictly)
{
    struct TCase
    {
        const char* mTool;
        std::vector<std::string> mArguments;
        std::string mMessage;
    };
    const std::string seconds = "oggsynth: --seconds must be a number from 0.001 to 600, not ";
    const std::string rate = "oggsynth: --rate must be a whole number from 8000 to 192000, not ";
    const std::string frames = "spritedemo: FRAMES must be a whole number from 1 to 100, not ";
    const TCase cases[] = {
        {"oggsynth", {"out.ogg", "--seconds", "abc"}, seconds + "\"abc\""},
        {"oggsynth", {"out.ogg", "--seconds", "1e9"}, seconds + "\"1e9\""},
        {"oggsynth", {"out.ogg", "--seconds", "nan"}, seconds + "\"nan\""},
        {"oggsynth", {"out.ogg", "--seconds", "1e999"}, seconds + "\"1e999\""},
        {"oggsynth", {"out.ogg", "--seconds", ""}, seconds + "\"\""},
        {"oggsynth", {"out.ogg", "--seconds", " 1"}, seconds + "\" 1\""},
        {"oggsynth", {"out.ogg", "--rate", "1e12"}, rate + "\"1e12\""},
        {"oggsynth", {"out.ogg", "--rate", "-44100"}, rate + "\"-44100\""},
        {"oggsynth", {"out.ogg", "--rate", "44100.5"}, rate + "\"44100.5\""},
        {"oggsynth",
         {"out.ogg", "--channels", "9"},
         "oggsynth: --channels must be a whole number from 1 to 8, not \"9\""},
        {"oggsynth",
         {"out.ogg", "--quality", "2"},
         "oggsynth: --quality must be a number from -0.1 to 1, not \"2\""},
        {"oggsynth", {"out.ogg", "--loud", "1"}, "oggsynth: unknown option --loud"},
        {"oggsynth",
         {"out.ogg", "--seconds", "600", "--channels", "8"},
         "oggsynth: 600 s at 44100 Hz in 8 channels is larger than 134217728 samples"},
        {"spritedemo", {"out", "5x"}, frames + "\"5x\""},
        {"spritedemo", {"out", "0"}, frames + "\"0\""},
        {"particledemo",
         {"out", "1001"},
         "particledemo: FRAMES must be a whole number from 1 to 1000, not \"1001\""},
        {"anmconvert",
         {"--version", "3", "a.xml", "b.anm"},
         "anmconvert: --version must be a whole number from 1 to 2, not \"3\""},
        {"xclose",
         {"Velmora Spa", "1.5"},
         "xclose: SECONDS must be a whole number from 1 to 3600, not \"1.5\""},
        {"xpeek",
         {"0", "1", "1"},
         "xpeek: WINDOW must be a whole number from 1 to 4294967295, not \"0\""},
        {"xpeek",
         {"0x2a", "1", "1", "0", "1"},
         "xpeek: W must be a whole number from 1 to 32767, not \"0\""},
        {"run-fuzzers",
         {"bin", "corpus", "0"},
         "run-fuzzers: SECONDS must be a whole number from 1 to 86400, not \"0\""},
    };
    for (const TCase& c : cases) {
        const TToolResult result = Run(c.mTool, c.mArguments);
        SCOPED_TRACE(c.mTool);
        EXPECT_EQ(result.mStatus, 2);
        EXPECT_EQ(result.mErr, c.mMessage + "\n");
        EXPECT_EQ(result.mOut, "");
        EXPECT_TRUE(fs::is_empty(mFolder));
    }
}

// A folder given where a file is read is reported by name and reason, never an abort.
TEST_F(ToolHelpTest, AFolderForAnInputFileIsReportedByNameAndReason)
{
    std::filesystem::create_directory(mFolder / "dir");
    std::filesystem::create_directories(mFolder / "fonts" / "dir.mvec");
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
        {"textdemo", {"out", "fonts"}, "textdemo: cannot read fonts/dir.mvec: Is a directory\n"},
    };
    for (const TCase& c : cases) {
        const TToolResult result = Run(c.mTool, c.mArguments);
        EXPECT_EQ(result.mStatus, 1) << c.mTool;
        EXPECT_EQ(result.mErr, c.mMessage) << c.mTool;
        EXPECT_EQ(result.mOut, "") << c.mTool;
    }
}

// The folders a tool writes into are made when missing, as the README's examples need.
TEST_F(ToolHelpTest, OutputFoldersAreMadeWhenMissing)
{
    struct TCase
    {
        const char* mTool;
        std::vector<std::string> mArguments;
        const char* mWritten;
    };
    const TCase cases[] = {
        {"texturedemo", {"a/out/"}, "a/out/frame.png"},
        {"spritedemo", {"b/out", "1"}, "b/out/frame_00.png"},
        {"textdemo", {"c/out/"}, "c/out/screen.png"},
        {"particledemo", {"d/out", "1"}, "d/out/frame_000.png"},
        {"prefs-seeds", {"e/out"}, "e/out/chunks-small"},
        {"image-seeds", {"f/png", "f/jpeg"}, "f/jpeg/baseline.jpg"},
    };
    for (const TCase& c : cases) {
        const TToolResult result = Run(c.mTool, c.mArguments);
        EXPECT_EQ(result.mStatus, 0) << c.mTool << ": " << result.mErr;
        EXPECT_TRUE(fs::is_regular_file(mFolder / c.mWritten)) << c.mWritten;
    }

    Write("file", "");
    const TToolResult refused = Run("texturedemo", {"file/out"});
    EXPECT_EQ(refused.mStatus, 1);
    EXPECT_EQ(refused.mErr, "texturedemo: cannot make folder file/out: Not a directory\n");
}

} // namespace
