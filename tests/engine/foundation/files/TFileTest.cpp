#include "engine/foundation/files/TFile.h"

#include "engine/foundation/files/TPathMap.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TFileTest : public EngineStateTest
{
protected:
    void SetUp() override { TPathMap::Get().SetWorkingFolder(mTemp.Path().c_str()); }

    TTempFolder mTemp;
};

TEST(TFileClosed, EveryOperationAnswersTheClosedValue)
{
    TFile file;
    char buffer[4];
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Tell(), -1);
    EXPECT_EQ(file.Read(buffer, 4), 0u);
    EXPECT_EQ(file.Write("ab", 2), 0u);
    EXPECT_TRUE(file.Eof());
    file.Seek(1, kSeekStart);
    file.Unget();
    file.Close();
    file.Close();
    EXPECT_EQ(FileError(&file), 1);
    EXPECT_EQ(FileError(nullptr), 1);
    EXPECT_EQ(FileGetc(nullptr), -1);
    FileClose(nullptr);
}

TEST_F(TFileTest, DiskReadSeekTellAndEofFollowStdio)
{
    mTemp.Write("data.bin", "0123456789");
    TFile file;
    ASSERT_TRUE(file.Open("::data.bin", kFileReadBinary));
    EXPECT_EQ(FileError(&file), 0);
    EXPECT_EQ(file.GetSize(), 10);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Tell(), 4);

    // Origins: 0 = from the current position, 1 = from the start, 2 = from the end.
    file.Seek(2, kSeekCurrent);
    EXPECT_EQ(file.Tell(), 6);
    file.Seek(1, kSeekStart);
    EXPECT_EQ(file.Tell(), 1);
    file.Seek(-3, kSeekEnd);
    EXPECT_EQ(file.Tell(), 7);
    file.Seek(2, static_cast<TSeekOrigin>(9)); // any other origin counts from the start
    EXPECT_EQ(file.Tell(), 2);
    EXPECT_EQ(file.GetSize(), 10);
    EXPECT_EQ(file.Tell(), 2) << "GetSize keeps the position";

    file.Seek(-2, kSeekEnd);
    EXPECT_FALSE(file.Eof());
    EXPECT_EQ(file.Read(buffer, 16), 2u);
    EXPECT_TRUE(file.Eof()) << "a short read sets the end flag";
    EXPECT_EQ(FileGetc(&file), -1);
}

TEST_F(TFileTest, DiskUngetStepsBackOverOneByteOnce)
{
    mTemp.Write("data.bin", "abc");
    TFile* file = FileOpen("::data.bin", kFileReadText);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(FileGetc(file), 'a');
    EXPECT_EQ(FileGetc(file), 'b');
    FileUngetc(file);
    FileUngetc(file); // the second one does nothing
    EXPECT_EQ(FileGetc(file), 'b');
    EXPECT_EQ(FileGetc(file), 'c');
    EXPECT_EQ(FileGetc(file), -1);
    FileClose(file);
}

TEST_F(TFileTest, TextModeReadsBytesUnchanged)
{
    mTemp.Write("crlf.txt", "a\r\nb");
    TFile file;
    ASSERT_TRUE(file.Open("::crlf.txt", kFileReadText));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 4u);
    EXPECT_EQ(std::string(buffer, 4), "a\r\nb");
}

TEST_F(TFileTest, ReadModesNeedAnExistingFileWriteModesCreateIt)
{
    const std::string user = mTemp.MakeFolder("user");
    TPathMap::Get().SetDataFolders(user.c_str(), "", "");
    EXPECT_EQ(FileOpen("user:new.txt", kFileReadBinary), nullptr);

    TFile* out = FileOpen("user:new.txt", kFileWriteBinary);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(FileWrite("hello", 1, 5, out), 5u);
    FileClose(out);
    out = FileOpen("user:new.txt", kFileAppendText);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(FileWrite("!", 1, 1, out), 1u);
    FileClose(out);
    EXPECT_EQ(TTempFolder::Read(user + "/new.txt"), "hello!");

    TFile* in = FileOpen("user:new.txt", kFileReadBinary);
    ASSERT_NE(in, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(FileRead(buffer, 2, 4, in), 3u) << "whole elements of 2 bytes";
    FileClose(in);
}

TEST_F(TFileTest, WritingCreatesTheMissingFoldersOfAUserPath)
{
    const std::string user = mTemp.MakeFolder("user");
    TPathMap::Get().SetDataFolders(user.c_str(), "", "");
    TFile file;
    ASSERT_TRUE(file.Open("user:a/b/c.txt", kFileWriteBinary));
    file.Close();
    EXPECT_TRUE(std::filesystem::is_directory(user + "/a/b"));
    EXPECT_TRUE(std::filesystem::is_regular_file(user + "/a/b/c.txt"));
}

TEST_F(TFileTest, FileExistsFollowsResolution)
{
    mTemp.Write("here.txt", "x");
    EXPECT_TRUE(FileExists("::here.txt"));
    EXPECT_FALSE(FileExists("::gone.txt"));
    EXPECT_FALSE(FileExists("here.txt")) << "a relative path is not a disk path";
}

TEST_F(TFileTest, AFolderDoesNotOpenAsAFile)
{
    mTemp.MakeFolder("sub");
    EXPECT_TRUE(FileExists("::sub"));
    EXPECT_EQ(FileOpen("::sub", kFileReadBinary), nullptr);
}

} // namespace
