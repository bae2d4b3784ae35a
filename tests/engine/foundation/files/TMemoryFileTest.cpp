#include "engine/foundation/files/TMemoryFile.h"

#include "engine/foundation/files/TFile.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TMemoryFileTest : public EngineStateTest
{
protected:
    TTempFolder mTemp;
    const std::string mBlock = "a\r\nbcd";
};

TEST_F(TMemoryFileTest, ReadsTheRegisteredBlockAndIsAtEndRightAfterTheLastByte)
{
    RegisterMemoryFile("Cursor.PNG", mBlock.data(), mBlock.size());
    TFile file;
    ASSERT_TRUE(file.Open("cursor.png", kFileReadBinary));
    EXPECT_EQ(file.GetSize(), 6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 5), 5u);
    EXPECT_FALSE(file.Eof());
    EXPECT_EQ(file.Read(buffer, 1), 1u);
    EXPECT_TRUE(file.Eof()) << "at the end as soon as the position reaches the length";
    EXPECT_EQ(file.Read(buffer, 4), 0u);
    EXPECT_EQ(file.Write("x", 1), 0u);
}

TEST_F(TMemoryFileTest, SeeksClampToTheLength)
{
    RegisterMemoryFile("m.bin", mBlock.data(), mBlock.size());
    TFile file;
    ASSERT_TRUE(file.Open("m.bin", kFileReadBinary));
    struct TCase
    {
        int64_t offset;
        TSeekOrigin origin;
        int64_t expected;
    } cases[] = {
        {2, kSeekStart, 2},
        {1, kSeekCurrent, 3},
        {-1, kSeekEnd, 5},
        {-1, kSeekStart, 6}, // negative compares as a huge unsigned value
        {0, kSeekStart, 0},
        {99, kSeekCurrent, 6},
        {4, static_cast<TSeekOrigin>(7), 6}, // other origins keep it
        {INT64_MIN, kSeekCurrent, 6},
    };
    for (const TCase& c : cases) {
        file.Seek(c.offset, c.origin);
        EXPECT_EQ(file.Tell(), c.expected) << c.offset << " from " << c.origin;
    }
    file.Seek(3, kSeekStart);
    file.Unget();
    EXPECT_EQ(file.Tell(), 2);
}

TEST_F(TMemoryFileTest, TextModeDropsCarriageReturns)
{
    RegisterMemoryFile("m.txt", mBlock.data(), mBlock.size());
    TFile file;
    ASSERT_TRUE(file.Open("m.txt", kFileReadText));
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "a\nb");
    EXPECT_EQ(file.Tell(), 4);
}

TEST_F(TMemoryFileTest, WriteModesAndBadLocationsFailToOpen)
{
    RegisterMemoryFile("m.bin", mBlock.data(), mBlock.size());
    TFile file;
    EXPECT_FALSE(file.Open("m.bin", kFileWriteBinary));
    TMemoryFile data;
    EXPECT_FALSE(data.Open("&0,5", kFileReadBinary));
    EXPECT_FALSE(data.Open("&12345", kFileReadBinary));
    EXPECT_TRUE(data.Eof());
}

TEST_F(TMemoryFileTest, UnregisteringWithTheSameMixedCaseNameRemovesTheEntry)
{
    RegisterMemoryFile("__SystemCursor__.png", mBlock.data(), mBlock.size());
    EXPECT_TRUE(FileExists("__systemcursor__.png"));
    RegisterMemoryFile("__SystemCursor__.png", nullptr, 0);
    EXPECT_FALSE(FileExists("__systemcursor__.png"));
}

} // namespace
