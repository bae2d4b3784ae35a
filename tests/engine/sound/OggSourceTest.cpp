#include "engine/foundation/files/TFile.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/sound/OggFileSource.h"
#include "engine/sound/OggMemoryFile.h"
#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(OggMemoryFile, SeeksFromEachOriginAndStayWithinTheFile)
{
    struct TCase
    {
        long start;
        int64_t offset;
        int whence;
        int result;
        long position;
    };
    const TCase cases[] = {
        {0, 5, SEEK_SET, 0, 5},  {4, 3, SEEK_CUR, 0, 7},         {4, -9, SEEK_CUR, 0, 0},
        {0, -2, SEEK_END, 0, 8}, {0, 5, SEEK_END, 0, 10},        {0, 99, SEEK_SET, 0, 10},
        {3, -1, SEEK_SET, 0, 0}, {6, INT64_MIN, SEEK_CUR, 0, 0}, {6, INT64_MAX, SEEK_END, 0, 10},
        {6, 1, 7, -1, 6},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.offset << " " << c.whence);
        auto* memory = new OggMemoryFile{{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0};
        ASSERT_EQ(OggMemorySeek(memory, c.start, SEEK_SET), 0);
        EXPECT_EQ(OggMemorySeek(memory, c.offset, c.whence), c.result);
        EXPECT_EQ(OggMemoryTell(memory), c.position);
        EXPECT_EQ(OggMemoryClose(memory), 0);
    }
}

// The tests below register memory files in the process-wide path map.
using OggMemoryFileTest = EngineStateTest;
using OggFileSourceTest = EngineStateTest;

TEST_F(OggMemoryFileTest, ReadsDeliverFewerBytesAtTheEnd)
{
    const std::string bytes = "abcdefghij";
    RegisterMemoryFile("m.ogg", bytes.data(), bytes.size());
    OggMemoryFile* memory = ReadOggMemoryFile(FileOpen("m.ogg", kFileReadBinary));
    ASSERT_EQ(memory->bytes.size(), 10u);
    char out[16] = {};
    EXPECT_EQ(OggMemoryRead(out, 3, 2, memory), 6u);
    EXPECT_EQ(std::string(out, 6), "abcdef");
    EXPECT_EQ(OggMemoryRead(out, 1, 16, memory), 4u);
    EXPECT_EQ(std::string(out, 4), "ghij");
    EXPECT_EQ(OggMemoryRead(out, 1, 16, memory), 0u);
    EXPECT_EQ(OggMemoryRead(out, SIZE_MAX, 3, memory), 0u);
    OggMemoryClose(memory);
}

TEST_F(OggFileSourceTest, ReadsWholeElementsAndRefusesAnUnknownOrigin)
{
    const std::string bytes = "abcdefghij";
    RegisterMemoryFile("f.ogg", bytes.data(), bytes.size());
    TFile* file = FileOpen("f.ogg", kFileReadBinary);
    ASSERT_NE(file, nullptr);
    char out[16] = {};
    EXPECT_EQ(OggFileRead(out, 4, 3, file), 2u); // 10 bytes: two elements of 4
    EXPECT_EQ(OggFileTell(file), 8);             // the partial one is given back
    EXPECT_EQ(OggFileRead(out, 0, 3, file), 0u);
    struct TCase
    {
        int64_t offset;
        int whence;
        int result;
        long position;
    };
    const TCase cases[] = {
        {2, SEEK_SET, 0, 2}, {3, SEEK_CUR, 0, 5}, {-1, SEEK_END, 0, 9}, {0, 42, -1, 9}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.whence);
        EXPECT_EQ(OggFileSeek(file, c.offset, c.whence), c.result);
        EXPECT_EQ(OggFileTell(file), c.position);
    }
    EXPECT_EQ(OggFileClose(file), 0);
}

} // namespace
