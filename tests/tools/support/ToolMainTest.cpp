// What RunTool does around a tool's work: help instead of the work, and an exception
// turned into a message and exit code 1.

#include "tools/support/ToolMain.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const TToolHelp kHelp{"tool", "FILE", "Does a thing.", "  FILE                a file\n"};
const TToolHelp kScriptHelp{"runner", "SCRIPT [ARGS...]", "Runs a script.", "", true};

int sCalls = 0;

int Work(int, char**)
{
    ++sCalls;
    return 7;
}

int RunWith(const TToolHelp& help, std::vector<std::string> arguments, int (*body)(int, char**))
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return RunTool(help, static_cast<int>(argv.size() - 1), argv.data(), body);
}

TEST(ToolMainTest, HelpIsAnsweredInsteadOfTheWork)
{
    struct TCase
    {
        const TToolHelp& mHelp;
        std::vector<std::string> mArguments;
        bool mHelped;
    };
    const TCase cases[] = {
        {kHelp, {"tool", "--help"}, true},
        {kHelp, {"tool", "a", "-h"}, true},
        {kHelp, {"tool", "a"}, false},
        {kHelp, {"tool", "--helpful"}, false},
        {kScriptHelp, {"runner", "-h", "s.lua"}, true},
        {kScriptHelp, {"runner", "s.lua", "--help"}, false},
    };
    for (const TCase& c : cases) {
        sCalls = 0;
        testing::internal::CaptureStdout();
        const int status = RunWith(c.mHelp, c.mArguments, &Work);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(status, c.mHelped ? 0 : 7) << c.mArguments.back();
        EXPECT_EQ(sCalls, c.mHelped ? 0 : 1) << c.mArguments.back();
        EXPECT_EQ(out, c.mHelped ? HelpText(c.mHelp) : "") << c.mArguments.back();
    }
    EXPECT_EQ(HelpText(kHelp), "usage: tool FILE\nDoes a thing.\n  FILE                a file\n"
                               "  -h, --help          print this help and do nothing else\n");
}

TEST(ToolMainTest, AnExceptionBecomesAMessageAndExitCodeOne)
{
    struct TCase
    {
        int (*mBody)(int, char**);
        const char* mMessage;
    };
    const TCase cases[] = {
        {[](int, char**) -> int { throw std::bad_alloc(); }, "tool: out of memory\n"},
        {[](int, char**) -> int { throw std::length_error("vector too long"); },
         "tool: vector too long\n"},
        {[](int, char**) -> int { throw 42; }, "tool: stopped by an unexpected failure\n"},
    };
    for (const TCase& c : cases) {
        testing::internal::CaptureStderr();
        const int status = RunWith(kHelp, {"tool", "a"}, c.mBody);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.mMessage);
        EXPECT_EQ(status, 1);
    }
}

} // namespace
