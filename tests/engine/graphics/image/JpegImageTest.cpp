#include "engine/graphics/image/JpegImage.h"

#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/graphics/image/ImageReaderChecks.h"
#include "tests/engine/graphics/image/JpegEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Smooth colour ramps: JPEG keeps them within a few steps.
std::vector<uint32_t> Ramps(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] = 0x12000000u | uint32_t(x * 255 / width) << 16 |
                                            uint32_t(y * 255 / height) << 8 | 0x80;
    return pixels;
}

int LargestChannelError(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff)));
    return largest;
}

// The picture within tolerance of expected (alpha 255), zeros around it.
void ExpectPicture(const TDecodedImage& image, const std::vector<uint32_t>& expected, int width,
                   int height, int tolerance)
{
    ASSERT_EQ(image.GetWidth(), width);
    ASSERT_EQ(image.GetHeight(), height);
    int worst = 0;
    int badAlpha = 0;
    int badPadding = 0;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x) {
            const uint32_t pixel = image.Row(y)[x];
            if (x >= width || y >= height) {
                badPadding += pixel != 0;
                continue;
            }
            badAlpha += pixel >> 24 != 0xff;
            worst = std::max(worst, LargestChannelError(pixel, expected[size_t(y) * width + x]));
        }
    EXPECT_LE(worst, tolerance);
    EXPECT_EQ(badAlpha, 0);
    EXPECT_EQ(badPadding, 0) << "the padding is zero-filled";
    EXPECT_FALSE(image.HasAlpha());
}

class JpegImageTest : public EngineStateTest
{
protected:
    TImageFolder mFolder;
};

TEST_F(JpegImageTest, RoundTripGivesOpaquePixelsInAZeroFilledSquare)
{
    struct TCase
    {
        int width, height, size;
    } cases[] = {{48, 20, 64}, {1, 1, 1}, {100, 30, 128}, {17, 33, 64}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const std::vector<uint32_t> pixels = Ramps(c.width, c.height);
        ASSERT_TRUE(
            WriteJpegImage("user:round.jpg", 0.95f, c.width, c.height, c.width * 4, pixels.data()));
        TDecodedImage image;
        ASSERT_TRUE(ReadJpegImage("user:round.jpg", image));
        EXPECT_EQ(image.GetSize(), c.size);
        ExpectPicture(image, pixels, c.width, c.height, 8);
    }
}

TEST_F(JpegImageTest, QualityIsAFractionCutTowardZero)
{
    struct TCase
    {
        float quality;
        int library;
    } cases[] = {{0.755f, 75}, {0.5f, 50}, {1.0f, 100}, {0.999f, 99},
                 {2.0f, 100},  {0.0f, 1},  {-1.0f, 1},  {std::nanf(""), 1}};
    const std::vector<uint32_t> pixels = Ramps(16, 16);
    for (const TCase& c : cases) {
        ASSERT_TRUE(WriteJpegImage("user:q.jpg", c.quality, 16, 16, 16 * 4, pixels.data()));
        EXPECT_EQ(LuminanceTableOf(mFolder.Get("q.jpg")), LuminanceTableFor(c.library))
            << "quality " << c.quality;
    }
}

TEST_F(JpegImageTest, WritesRowsAtTheGivenStrideAndIgnoresAlpha)
{
    std::vector<uint32_t> surface = Ramps(24, 16);
    for (uint32_t& pixel : surface)
        pixel &= 0x00ffffff; // transparent everywhere: a JPEG has no alpha to keep
    ASSERT_TRUE(WriteJpegImage("user:part.jpg", 1.0f, 16, 16, 24 * 4, surface.data()));
    TDecodedImage image;
    ASSERT_TRUE(ReadJpegImage("user:part.jpg", image));
    std::vector<uint32_t> expected;
    for (int y = 0; y < 16; ++y)
        expected.insert(expected.end(), surface.begin() + y * 24, surface.begin() + y * 24 + 16);
    ExpectPicture(image, expected, 16, 16, 10);
}

TEST_F(JpegImageTest, DecodesProgressiveGreyAndRestartMarkedFiles)
{
    const std::vector<uint32_t> pixels = Ramps(40, 24);
    std::vector<uint32_t> greyPixels;
    for (uint32_t pixel : pixels) {
        const uint32_t red = pixel >> 16 & 0xff;
        greyPixels.push_back(0xff000000u | red << 16 | red << 8 | red);
    }
    TJpegSpec progressive{40, 24};
    progressive.progressive = true;
    TJpegSpec grey{40, 24};
    grey.grey = true;
    TJpegSpec restarts{40, 24};
    restarts.restartRows = 1;
    struct TCase
    {
        const char* name;
        TJpegSpec spec;
        const std::vector<uint32_t>& expected;
    } cases[] = {{"progressive", progressive, pixels},
                 {"grey", grey, greyPixels},
                 {"restart markers", restarts, pixels}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = mFolder.Put("v.jpg", EncodeJpeg(c.spec, pixels));
        TDecodedImage image;
        ASSERT_TRUE(ReadJpegImage(path.c_str(), image));
        EXPECT_EQ(image.GetSize(), 64);
        ExpectPicture(image, c.expected, 40, 24, 10);
    }
}

TEST_F(JpegImageTest, AFileCutShortIsCompletedWithOneWarning)
{
    const std::vector<uint32_t> pixels = Ramps(64, 64);
    const std::string whole = EncodeJpeg(TJpegSpec{64, 64}, pixels);
    const size_t scan = FindMarker(whole, 0xda);
    const std::string path = mFolder.Put("cut.jpg", whole.substr(0, (scan + whole.size()) / 2));
    TDecodedImage image;
    ASSERT_TRUE(ReadJpegImage(path.c_str(), image));
    EXPECT_EQ(image.GetSize(), 64);
    EXPECT_EQ(image.GetWidth(), 64);
    EXPECT_EQ(image.GetHeight(), 64);
    EXPECT_EQ(image.Row(63)[63] >> 24, 0xffu);
    EXPECT_LE(LargestChannelError(image.Row(0)[0], pixels[0]), 10) << "the top is decoded";
    EXPECT_EQ(mFolder.CountLogLines(LogLine(kImageFailedLog, "user:cut.jpg", "")), 1);
    EXPECT_EQ(mFolder.CountLogLines(
                  LogLine(kImageFailedLog, "user:cut.jpg", "Premature end of JPEG file")),
              1);
}

TEST_F(JpegImageTest, RefusesDamagedFilesWithALogLineAndTheProcessLives)
{
    const std::vector<uint32_t> pixels = Ramps(32, 32);
    const std::string good = EncodeJpeg(TJpegSpec{32, 32}, pixels);
    std::string noComponents = good;
    noComponents[FindMarker(good, 0xc0) + 9] = 0;
    std::string badHuffman = good;
    const size_t dht = FindMarker(good, 0xc4);
    for (int i = 0; i < 16; ++i)
        badHuffman[dht + 5 + i] = char(0xff); // more codes than the table holds
    TJpegSpec manyScans{32, 32};
    manyScans.scanPerCoefficient = true;

    ExpectRefusals(
        mFolder, ReadJpegImage, "bad.jpg",
        {
            {"empty", "", "Empty input file"},
            {"not a jpeg", "GIF89a and then some", "Not a JPEG file"},
            {"cut in the header", good.substr(0, 30), "JPEG datastream contains no image"},
            {"60000 x 60000", WithJpegSize(good, 60000, 60000), "60000x60000 is larger than 4096"},
            {"one side above the limit", WithJpegSize(good, TDecodedImage::kMaxSide + 1, 8),
             "4097x8 is larger than 4096"},
            {"zero width", WithJpegSize(good, 0, 32), "Empty JPEG image"},
            {"no components", noComponents, "Empty JPEG image"},
            {"bad huffman table", badHuffman, "Bogus Huffman table definition"},
            {"190 scans", EncodeJpeg(manyScans, pixels), "more than 100 scans"},
        });
}

TEST_F(JpegImageTest, WriteFailuresAreReported)
{
    const std::vector<uint32_t> noise = Noise(256, 256);
    // Every write to /dev/full fails as on a full disk.
    EXPECT_FALSE(WriteJpegImage("::/dev/full", 1.0f, 256, 256, 256 * 4, noise.data()));
    EXPECT_EQ(
        mFolder.CountLogLines(LogLine(kImageFailedLog, "::/dev/full", "Output file write error")),
        1);
    EXPECT_FALSE(WriteJpegImage("user:none.jpg", 1.0f, 0, 1, 0, noise.data()));
    EXPECT_FALSE(WriteJpegImage("user:none.jpg", 1.0f, 4, 1, 8, noise.data()));
    EXPECT_FALSE(WriteJpegImage("user:none.jpg", 1.0f, 4, 1, 16, nullptr));
    EXPECT_FALSE(mFolder.Has("none.jpg"));
}

} // namespace
