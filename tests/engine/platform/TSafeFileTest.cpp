#include "engine/platform/TSafeFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TSafeFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-safefile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mFolder = pattern;
    }
    void TearDown() override
    {
        std::remove((mFolder + "/data.bin").c_str());
        std::remove((mFolder + "/data.bin.tmp").c_str());
        chmod(mFolder.c_str(), 0700);
        rmdir(mFolder.c_str());
    }
    std::string mFolder;
};

TEST_F(TSafeFileTest, ReplacesWholeContentsAndLeavesNoTemporaryFile)
{
    std::string path = mFolder + "/data.bin";
    std::string first(10000, 'a');
    ASSERT_TRUE(TSafeFile::Replace(path, first.data(), first.size()));
    EXPECT_EQ(ReadAll(path), first);
    std::string second("\0short\0", 7);
    ASSERT_TRUE(TSafeFile::Replace(path, second.data(), second.size()));
    EXPECT_EQ(ReadAll(path), second);
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0);
}

TEST_F(TSafeFileTest, FailedRenameKeepsTheOldEntryAndRemovesTheTemporaryFile)
{
    // A folder stands where the file should go, so the final rename fails (even for root).
    std::string path = mFolder + "/data.bin";
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((path + "/inside").c_str(), 0700), 0);
    std::string error;
    EXPECT_FALSE(TSafeFile::Replace(path, "new", 3, &error));
    EXPECT_NE(error.find("rename"), std::string::npos) << error;
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0);
    struct stat info
    {
    };
    ASSERT_EQ(stat((path + "/inside").c_str(), &info), 0);
    rmdir((path + "/inside").c_str());
    rmdir(path.c_str());
}

TEST_F(TSafeFileTest, MissingFolderFails)
{
    std::string error;
    EXPECT_FALSE(TSafeFile::Replace(mFolder + "/none/data.bin", "x", 1, &error));
    EXPECT_FALSE(error.empty());
}

} // namespace
