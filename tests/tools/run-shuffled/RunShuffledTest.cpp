// run-shuffled passes only when test cases ran and none failed: a missing build folder,
// one without test executables, or executables that ran no case fail it.

#include "tests/tools/ToolTest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using RunShuffledTest = ToolTest;

// A stand-in test executable that prints what a test run would.
void WriteTest(const fs::path& path, const std::string& output, int status)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\nprintf '" << output << "'\nexit " << status << "\n";
    fs::permissions(path, fs::perms::owner_all);
}

TEST_F(RunShuffledTest, FailsUnlessTestCasesRanAndPassed)
{
    fs::create_directories(mFolder / "empty" / "tests");
    WriteTest(mFolder / "quiet" / "tests" / "test_quiet", "", 0);
    WriteTest(mFolder / "good" / "tests" / "test_good", "[  PASSED  ] 3 tests.\\n", 0);
    WriteTest(mFolder / "bad" / "tests" / "test_bad",
              "[  PASSED  ] 1 test.\\n[  FAILED  ] 2 tests, listed below:\\n", 1);
    const std::string folder = mFolder.string();
    struct TCase
    {
        std::vector<std::string> mArguments;
        int mStatus;
        std::string mSummary; // the last line of the standard output
        std::string mError;
    };
    const TCase cases[] = {
        {{"nonexistent", "1"}, 1, "", "run-shuffled: nonexistent: no such folder\n"},
        {{"empty"},
         1,
         "shuffled: 0 passed, 0 failed\n",
         "run-shuffled: no test executable in " + folder + "/empty/tests\n"},
        {{"quiet", "3"}, 1, "shuffled: 0 passed, 0 failed\n", "run-shuffled: no test case ran\n"},
        {{"good", "3"}, 0, "shuffled: 3 passed, 0 failed\n", ""},
        {{"bad"}, 1, "shuffled: 1 passed, 2 failed\n", ""},
        {{"good", "0"},
         2,
         "",
         "run-shuffled: SEED must be a whole number from 1 to 99999, not \"0\"\n"},
        {{"good", "x"},
         2,
         "",
         "run-shuffled: SEED must be a whole number from 1 to 99999, not \"x\"\n"},
        {{}, 2, "", "usage: run-shuffled BUILD_DIR [SEED]\n"},
    };
    for (const TCase& c : cases) {
        const std::string name = c.mArguments.empty() ? "(none)" : c.mArguments[0];
        const TToolResult result = Run("run-shuffled", c.mArguments);
        EXPECT_EQ(result.mStatus, c.mStatus) << name << "\n" << result.mOut;
        const size_t last = result.mOut.rfind('\n', result.mOut.size() - 2);
        const std::string summary =
            result.mOut.empty() ? "" : result.mOut.substr(last == std::string::npos ? 0 : last + 1);
        EXPECT_EQ(summary, c.mSummary) << name;
        EXPECT_EQ(result.mErr, c.mError) << name;
    }
}

} // namespace
