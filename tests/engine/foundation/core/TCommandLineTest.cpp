#include "engine/foundation/core/TCommandLine.h"

#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TPairs = std::vector<std::pair<std::string, std::string>>;

TPairs Options(const char* line)
{
    TPairs pairs;
    for (const auto& [key, value] : TCommandLine::GetOptions(line))
        pairs.emplace_back(key.CStr(), value.CStr());
    return pairs;
}

TEST(TCommandLine, OptionPairs)
{
    struct TCase
    {
        const char* line;
        TPairs expected;
    };
    const TCase cases[] = {
        {"options=a=1&b=2 c", {{"a", "1"}, {"b", "2"}}},
        {"options=a=1 b=2", {{"a", "1"}, {"b", "2"}}},
        {"options=x=1&y", {{"x", "1"}}},
        {"options= a=1", {}},
        {"-wd=/tmp options=memorymax=5", {{"memorymax", "5"}}},
        {"options=k=", {{"k", ""}}},
        {"options=k=v&", {{"k", "v"}}},
        {"Options=a=1", {}},
        {"", {}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Options(c.line), c.expected) << c.line;
}

TEST(TCommandLine, CheatCode)
{
    struct TCase
    {
        const char* line;
        const char* code;
    };
    const TCase cases[] = {
        {"--cheat=abc def", "abc"}, {"-x --cheat abc", "abc"}, {"--cheat", ""},
        {"--multiple --cheat", ""}, {"--cheat=", ""},          {"--CHEAT=abc", ""},
    };
    for (const TCase& c : cases)
        EXPECT_STREQ(TCommandLine::GetCheatCode(c.line).CStr(), c.code) << c.line;
}

TEST(TCommandLine, WorkingFolder)
{
    struct TCase
    {
        const char* line;
        const char* folder;
    };
    const TCase cases[] = {
        {"-wd=/srv/game --multiple", "/srv/game"},
        {"-wd=\"/srv/my game\" --multiple", "/srv/my game"},
        {"-wd=\"/srv/unclosed quote", "/srv/unclosed quote"},
        {"-wd=", ""},
        {"-WD=/srv", ""},
    };
    for (const TCase& c : cases)
        EXPECT_STREQ(TCommandLine::GetWorkingFolder(c.line).CStr(), c.folder) << c.line;
}

TEST(TCommandLine, HostProgramAndWindowHandle)
{
    EXPECT_STREQ(TCommandLine::GetHostProgram("-host=firefox -pq=1").CStr(), "firefox");
    EXPECT_EQ(
        TCommandLine::GetHostProgram(TString("-host=") + std::string(300, 'x').c_str()).Length(),
        259);
    EXPECT_EQ(TCommandLine::GetWindowHandle("-wnd=1a2B"), 0x1a2bu);
    EXPECT_EQ(TCommandLine::GetWindowHandle("-wnd=zz"), 0u);
    EXPECT_EQ(TCommandLine::GetWindowHandle("--multiple"), 0u);
}

TEST(TCommandLine, BuildQuotesArgumentsWithBlanks)
{
    const char* argv[] = {"velmora", "-wd=/srv/my game", "--multiple", "two words", "options=a=1"};
    const TString line = TCommandLine::Build(5, argv);
    EXPECT_STREQ(line.CStr(), "-wd=\"/srv/my game\" --multiple \"two words\" options=a=1");
    EXPECT_STREQ(TCommandLine::GetWorkingFolder(line).CStr(), "/srv/my game");
    EXPECT_STREQ(TCommandLine::Build(1, argv).CStr(), "");
}

using TCommandLineTest = EngineStateTest;

TEST_F(TCommandLineTest, PqSwitchIsReadFromTheCurrentLine)
{
    TCommandLine::SetCurrent("-pq=1");
    EXPECT_TRUE(HasPqSwitch());
    TCommandLine::SetCurrent("-PQ=1");
    EXPECT_FALSE(HasPqSwitch());
}

} // namespace
