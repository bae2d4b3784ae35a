#include "engine/foundation/core/DebugLog.h"

#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kBanner =
    "\n\n\n\n ****************** LOG WRAP AROUND ******************\n\n\n\n";

// True when text starts with a ctime stamp without its newline ("Thu Dec 10 12:30:10 2026")
// followed by ": " and message.
bool IsLogLine(const std::string& text, const std::string& message)
{
    const std::string shape = "aaa aaa Dd dd:dd:dd dddd";
    if (text.size() != shape.size() + 2 + message.size())
        return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool ok = shape[i] == 'a'   ? isalpha(c)
                        : shape[i] == 'd' ? isdigit(c)
                        : shape[i] == 'D' ? (isdigit(c) || c == ' ')
                                          : c == static_cast<unsigned char>(shape[i]);
        if (!ok)
            return false;
    }
    return text.compare(shape.size(), std::string::npos, ": " + message) == 0;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each test gets a folder of its own (test cases run in parallel processes) and turns
// the log off again when it ends.
class DebugLogTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        mRoot = fs::path(testing::TempDir()) /
                ("velmora_log_" + std::string(info->name()) + "_" + std::to_string(getpid()));
        fs::remove_all(mRoot);
        fs::create_directories(mRoot);
        mFolder = mRoot / "logs";
    }
    void TearDown() override { fs::remove_all(mRoot); }
    fs::path LogFile() const { return mFolder / "logfile.txt"; }

    fs::path mRoot;
    fs::path mFolder;
};

TEST_F(DebugLogTest, InitCreatesFolderAndSetsPath)
{
    InitLog(mFolder.c_str());
    EXPECT_TRUE(fs::is_directory(mFolder));
    EXPECT_EQ(std::string(GetLogPath().CStr()), LogFile().string());
}

TEST_F(DebugLogTest, LineHasTimeThenMessage)
{
    InitLog(mFolder.c_str());
    TraceLog("hello %d %s", 42, "world");
    const std::string text = ReadFile(LogFile());
    EXPECT_TRUE(IsLogLine(text, "hello 42 world\n")) << text;
}

TEST_F(DebugLogTest, FreshInitDeletesPreviousLog)
{
    InitLog(mFolder.c_str());
    TraceLog("from the previous run, a rather long line");
    ASSERT_TRUE(fs::exists(LogFile()));
    InitLog(mFolder.c_str());
    EXPECT_FALSE(fs::exists(LogFile()));
    TraceLog("new");
    EXPECT_EQ(ReadFile(LogFile()).find("previous"), std::string::npos);
}

TEST_F(DebugLogTest, NoFolderMeansNoFile)
{
    for (const char* folder : {static_cast<const char*>(nullptr), ""}) {
        InitLog(folder);
        EXPECT_STREQ(GetLogPath().CStr(), "");
        TraceLog("nowhere");
    }
    EXPECT_FALSE(fs::exists(mFolder));
    EXPECT_TRUE(fs::is_empty(mRoot));
}

TEST_F(DebugLogTest, LinesGoToStandardErrorWhenTheFileCannotBeOpened)
{
    // A data folder below a file (XDG_DATA_HOME naming a file) can never be made.
    std::ofstream(mRoot / "file") << "x";
    const fs::path folder = mRoot / "file" / "logs";
    InitLog(folder.c_str());
    testing::internal::CaptureStderr();
    TraceLog("first %d", 1);
    TraceLog("second");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "log: cannot write " + (folder / "logfile.txt").string() +
                       ": Not a directory; log lines go to the standard error stream\n"
                       "first 1\nsecond\n");

    // A fresh start that can write the file says nothing on the standard error stream.
    InitLog(mFolder.c_str());
    testing::internal::CaptureStderr();
    TraceLog("to the file");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(IsLogLine(ReadFile(LogFile()), "to the file\n"));
}

TEST_F(DebugLogTest, ToolsSendEveryLineToStandardError)
{
    InitLogOnStandardError();
    EXPECT_STREQ(GetLogPath().CStr(), "");
    testing::internal::CaptureStderr();
    TraceLog("xml: %s: packed header cut short", "a.xml");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "xml: a.xml: packed header cut short\n");
    EXPECT_TRUE(fs::is_empty(mRoot));
}

TEST_F(DebugLogTest, WrapsAroundBehindBannerKeepingTheStart)
{
    InitLog(mFolder.c_str());
    const std::string filler(200, 'x');
    int lines = 0;
    while (fs::exists(LogFile()) ? fs::file_size(LogFile()) < 102401 : true)
        TraceLog("line %d %s", lines++, filler.c_str());
    const std::string before = ReadFile(LogFile());

    TraceLog("after the wrap");
    const std::string after = ReadFile(LogFile());

    // The file is not truncated, and its first 51200 bytes are the oldest lines.
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.compare(0, 51200, before, 0, 51200), 0);
    EXPECT_EQ(after.compare(51200, kBanner.size(), kBanner), 0);
    const size_t next = 51200 + kBanner.size();
    const size_t newline = after.find('\n', next);
    ASSERT_NE(newline, std::string::npos);
    const std::string newest = after.substr(next, newline - next);
    EXPECT_NE(newest.find(": after the wrap"), std::string::npos) << newest;
    EXPECT_EQ(newest.find("x"), std::string::npos);

    // The next line goes right behind the newest one, not behind another banner.
    TraceLog("second after the wrap");
    const std::string third = ReadFile(LogFile());
    EXPECT_EQ(third.compare(0, newline + 1, after, 0, newline + 1), 0);
    EXPECT_NE(third.find(": second after the wrap\n", newline + 1), std::string::npos);
    EXPECT_EQ(third.find(kBanner, next), std::string::npos);
}

TEST_F(DebugLogTest, TwoThreadsWriteWholeLines)
{
    InitLog(mFolder.c_str());
    constexpr int kPerThread = 300;
    auto writer = [](char name) {
        for (int i = 0; i < kPerThread; ++i)
            TraceLog("thread %c line %d", name, i);
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();

    std::istringstream text(ReadFile(LogFile()));
    std::set<std::string> seen;
    std::string line;
    while (std::getline(text, line)) {
        const size_t colon = line.find(": thread ");
        ASSERT_NE(colon, std::string::npos) << line;
        const std::string message = line.substr(colon + 2);
        ASSERT_TRUE(IsLogLine(line, message)) << line;
        char name = 0;
        int index = -1;
        char rest = 0;
        ASSERT_EQ(sscanf(message.c_str(), "thread %c line %d%c", &name, &index, &rest), 2) << line;
        seen.insert(std::string(1, name) + std::to_string(index));
    }
    EXPECT_EQ(seen.size(), 2u * kPerThread);
}

} // namespace
