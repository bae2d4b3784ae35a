// The process's resident set as the statistics overlay reads it: the system's own figure,
// and statm files of our own, well-formed and damaged.

#include "engine/platform/posix/TPosixProcessMemory.h"

#include "engine/platform/TPlatformLog.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string>& LogLines()
{
    static std::vector<std::string> lines;
    return lines;
}

class TPosixProcessMemoryTest : public EngineStateTest
{
protected:
    TPosixProcessMemoryTest()
    {
        LogLines().clear();
        TPlatformLog::SetSink([](const char* line) { LogLines().push_back(line); });
        char pattern[] = "/tmp/velmora-statm-XXXXXX";
        if (mkdtemp(pattern) != nullptr)
            mFolder = pattern;
    }
    ~TPosixProcessMemoryTest() override
    {
        std::error_code error;
        fs::remove_all(mFolder, error);
    }

    std::string Put(const std::string& text)
    {
        const std::string path = mFolder + "/statm" + std::to_string(mFiles++);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    const uint64_t mPage = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    std::string mFolder;
    int mFiles = 0;
};

TEST_F(TPosixProcessMemoryTest, TheSystemsFigureIsWholePagesAndGrowsWithWhatIsTouched)
{
    ASSERT_FALSE(mFolder.empty());
    std::unique_ptr<TProcessMemory> memory = TProcessMemory::Create();
    ASSERT_NE(memory, nullptr);
    const std::optional<uint64_t> before = memory->GetResidentBytes();
    ASSERT_TRUE(before.has_value());
    EXPECT_GT(*before, 0u);
    EXPECT_EQ(*before % mPage, 0u);

    constexpr size_t kTouched = size_t(64) << 20;
    std::vector<char> block(kTouched);
    std::memset(block.data(), 1, block.size());
    const std::optional<uint64_t> after = memory->GetResidentBytes();
    ASSERT_TRUE(after.has_value());
    EXPECT_GE(*after, *before + kTouched / 2);
    EXPECT_EQ(block[kTouched - 1], 1);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(TPosixProcessMemoryTest, TheSecondNumberIsTheResidentSizeInPages)
{
    ASSERT_FALSE(mFolder.empty());
    struct TCase
    {
        const char* text;
        uint64_t pages;
    };
    const TCase cases[] = {
        {"1000 250 40 3 0 200 0\n", 250},
        {"7 7", 7},
        {"  12 0 0 0 0 0 0\n", 0},
        {"18446744073709551615 3\n", 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        TPosixProcessMemory memory(Put(c.text));
        EXPECT_EQ(memory.GetResidentBytes(), std::optional<uint64_t>(c.pages * mPage));
    }
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(TPosixProcessMemoryTest, AFileThatCannotTellIsLoggedOnceAndAnswersNothing)
{
    ASSERT_FALSE(mFolder.empty());
    struct TCase
    {
        std::string path;
        const char* cause;
    };
    const TCase cases[] = {
        {mFolder + "/missing", "No such file or directory"},
        {mFolder, "Is a directory"},
        {Put(""), "no size and resident size"},
        {Put("abc 12\n"), "no size and resident size"},
        {Put("12\n"), "no size and resident size"},
        {Put("-5 3\n"), "no size and resident size"},
        {Put("12 3x\n"), "no size and resident size"},
        {Put("184467440737095516160 3\n"), "no size and resident size"},
        {Put("10 20 1\n"), "beyond the process's size"},
        {Put("18446744073709551615 18446744073709551615\n"), "beyond 64 bits of bytes"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path);
        LogLines().clear();
        TPosixProcessMemory memory(c.path);
        EXPECT_EQ(memory.GetResidentBytes(), std::nullopt);
        EXPECT_EQ(memory.GetResidentBytes(), std::nullopt);
        ASSERT_EQ(LogLines().size(), 1u);
        EXPECT_NE(
            LogLines()[0].find(TPlatformLog::kTag +
                               LogLine(TPosixProcessMemory::kUnreadableLog, c.path.c_str(), "")),
            std::string::npos)
            << LogLines()[0];
        EXPECT_NE(LogLines()[0].find(c.cause), std::string::npos) << LogLines()[0];
    }
}

} // namespace
