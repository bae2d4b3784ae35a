#include "engine/graphics/image/ImageFile.h"

#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/JpegImage.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/ImageFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Files are found through the process-wide path map.
using ImageFileTest = EngineStateTest;

TEST_F(ImageFileTest, TheNameChoosesTheReader)
{
    TImageFolder folder;
    const std::vector<uint32_t> pixels(4 * 4, 0xff204060);
    ASSERT_TRUE(WritePngImage("user:a.png", pixels.data(), 4, 4, 16));
    ASSERT_TRUE(WriteJpegImage("user:b.jpg", 1.0f, 4, 4, 16, pixels.data()));
    const std::string png = folder.Get("a.png");
    const std::string jpeg = folder.Get("b.jpg");
    struct TCase
    {
        const char* name;
        const std::string& bytes;
        bool decodes;
    } cases[] = {
        {"plain.png", png, true},   {"plain.jpg", jpeg, true},    {"both.png.jpg", png, true},
        {"png-in.jpg", png, false}, {"jpeg-in.png", jpeg, false}, {"upper.PNG", png, false},
        {"other.bmp", png, false},
    };
    for (const TCase& c : cases) {
        const std::string path = folder.Put(c.name, c.bytes);
        TDecodedImage image;
        EXPECT_EQ(ReadImageFile(path.c_str(), image), c.decodes) << c.name;
        EXPECT_EQ(image.GetSize(), c.decodes ? 4 : 0) << c.name;
    }
    EXPECT_EQ(folder.CountLogLines(LogLine(kImageNameRefusedLog, "user:other.bmp")), 1);
}

// Both readers hold the picture to the largest side asked for, and never above
// TDecodedImage::kMaxSide.
TEST_F(ImageFileTest, TheLargestSideIsTheCallers)
{
    TImageFolder folder;
    const std::vector<uint32_t> pixels(16 * 9, 0xff204060);
    ASSERT_TRUE(WritePngImage("user:a.png", pixels.data(), 16, 9, 64));
    ASSERT_TRUE(WriteJpegImage("user:a.jpg", 1.0f, 16, 9, 64, pixels.data()));
    struct TCase
    {
        const char* name;
        int maxSide;
        bool decodes;
    } cases[] = {
        {"user:a.png", 16, true},    {"user:a.png", 15, false}, {"user:a.png", 0, false},
        {"user:a.jpg", 16, true},    {"user:a.jpg", 15, false}, {"user:a.jpg", -1, false},
        {"user:a.png", 99999, true},
    };
    for (const TCase& c : cases) {
        TDecodedImage image;
        EXPECT_EQ(ReadImageFile(c.name, image, c.maxSide), c.decodes) << c.name << c.maxSide;
        EXPECT_EQ(image.GetSize(), c.decodes ? 16 : 0) << c.name << c.maxSide;
    }
    EXPECT_EQ(
        folder.CountLogLines(LogLine(kImageFailedLog, "user:a.png", "16x9 is larger than 15")), 1);
    EXPECT_EQ(
        folder.CountLogLines(LogLine(kImageFailedLog, "user:a.jpg", "16x9 is larger than 15")), 1);
    EXPECT_EQ(folder.CountLogLines(LogLine(kImageFailedLog, "user:a.jpg", "16x9 is larger than 0")),
              1);
}

} // namespace
