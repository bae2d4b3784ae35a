#include "engine/graphics/image/PngImage.h"

#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/graphics/image/ImageReaderChecks.h"
#include "tests/engine/graphics/image/PngEncoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A picture whose every pixel differs from its neighbours in every channel.
std::vector<uint32_t> Pattern(int width, int height, bool withAlpha)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t alpha = withAlpha ? uint32_t(x * 7 + y * 3) & 0xff : 0xff;
            pixels[size_t(y) * width + x] = alpha << 24 | uint32_t(x & 0xff) << 16 |
                                            uint32_t(y & 0xff) << 8 | uint32_t((x ^ y) & 0xff);
        }
    return pixels;
}

class PngImageTest : public EngineStateTest
{
protected:
    TDecodedImage Decode(const std::string& bytes)
    {
        TDecodedImage image;
        EXPECT_TRUE(ReadPngImage(mFolder.Put("t.png", bytes).c_str(), image));
        return image;
    }

    TImageFolder mFolder;
};

TEST_F(PngImageTest, RoundTripKeepsEveryPixelInAZeroFilledPowerOfTwoSquare)
{
    struct TCase
    {
        int width, height, size;
    } cases[] = {{300, 200, 512}, {1, 1, 1}, {100, 30, 128}, {64, 64, 64}, {65, 2, 128}};
    for (const TCase& c : cases) {
        const std::vector<uint32_t> pixels = Pattern(c.width, c.height, true);
        ASSERT_TRUE(WritePngImage("user:round.png", pixels.data(), c.width, c.height, c.width * 4));
        TDecodedImage image;
        ASSERT_TRUE(ReadPngImage("user:round.png", image)) << c.width << "x" << c.height;
        EXPECT_EQ(image.GetWidth(), c.width);
        EXPECT_EQ(image.GetHeight(), c.height);
        ASSERT_EQ(image.GetSize(), c.size);
        EXPECT_TRUE(image.HasAlpha());
        int wrong = 0;
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const uint32_t expected =
                    x < c.width && y < c.height ? pixels[size_t(y) * c.width + x] : 0u;
                wrong += image.Row(y)[x] != expected;
            }
        EXPECT_EQ(wrong, 0) << c.width << "x" << c.height;
    }
}

TEST_F(PngImageTest, WritesRowsAtTheGivenStride)
{
    // The middle 3 x 2 of a 5-pixel-wide surface.
    const std::vector<uint32_t> surface = Pattern(5, 4, true);
    ASSERT_TRUE(WritePngImage("user:part.png", surface.data() + 5 + 1, 3, 2, 5 * 4));
    TDecodedImage image;
    ASSERT_TRUE(ReadPngImage("user:part.png", image));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.Row(y)[x], surface[(y + 1) * 5 + x + 1]) << x << "," << y;
}

// A 2 x 1 picture.
TPngSpec Spec(int bitDepth, int colorType, std::vector<uint8_t> rows)
{
    TPngSpec spec;
    spec.width = 2;
    spec.bitDepth = bitDepth;
    spec.colorType = colorType;
    spec.rows = std::move(rows);
    return spec;
}

const std::vector<png_color> kPalette = {{10, 20, 30}, {200, 100, 50}, {1, 2, 3}, {4, 5, 6}};

TPngSpec WithPalette(TPngSpec spec, std::vector<uint8_t> alpha = {})
{
    spec.palette = kPalette;
    spec.paletteAlpha = std::move(alpha);
    return spec;
}

TPngSpec WithTransparent(TPngSpec spec, png_uint_16 red, png_uint_16 green, png_uint_16 blue)
{
    png_color_16 colour{};
    colour.red = red;
    colour.green = green;
    colour.blue = blue;
    colour.gray = red;
    spec.transparent = colour;
    return spec;
}

TPngSpec Interlaced(TPngSpec spec)
{
    spec.interlaced = true;
    return spec;
}

TEST_F(PngImageTest, ConvertsEveryColourTypeAndDepthToEnginePixels)
{
    const int kPaletteType = PNG_COLOR_TYPE_PALETTE;
    const int kGrey = PNG_COLOR_TYPE_GRAY;
    const int kGreyAlpha = PNG_COLOR_TYPE_GRAY_ALPHA;
    const int kRgb = PNG_COLOR_TYPE_RGB;
    const int kRgba = PNG_COLOR_TYPE_RGB_ALPHA;
    struct TCase
    {
        const char* name;
        TPngSpec spec;
        uint32_t first, second;
        bool hasAlpha;
    } cases[] = {
        {"palette", WithPalette(Spec(8, kPaletteType, {0, 1})), 0xff0a141e, 0xffc86432, false},
        {"palette with tRNS", WithPalette(Spec(8, kPaletteType, {0, 1}), {0, 128}), 0x000a141e,
         0x80c86432, true},
        {"2-bit palette", WithPalette(Spec(2, kPaletteType, {0x3 << 6 | 0x1 << 4})), 0xff040506,
         0xffc86432, false},
        {"grey", Spec(8, kGrey, {0x10, 0xf0}), 0xff101010, 0xfff0f0f0, false},
        {"1-bit grey", Spec(1, kGrey, {0x40}), 0xff000000, 0xffffffff, false},
        {"16-bit grey", Spec(16, kGrey, {0x12, 0x34, 0xab, 0xcd}), 0xff121212, 0xffababab, false},
        {"grey with tRNS", WithTransparent(Spec(8, kGrey, {7, 8}), 7, 7, 7), 0x00070707, 0xff080808,
         false},
        {"grey and alpha", Spec(8, kGreyAlpha, {0x20, 0x40, 0x60, 0xff}), 0x40202020, 0xff606060,
         true},
        {"16-bit grey and alpha", Spec(16, kGreyAlpha, {0x20, 1, 0x40, 1, 0x60, 1, 0xff, 1}),
         0x40202020, 0xff606060, true},
        {"rgb", Spec(8, kRgb, {1, 2, 3, 4, 5, 6}), 0xff010203, 0xff040506, false},
        {"16-bit rgb", Spec(16, kRgb, {1, 9, 2, 9, 3, 9, 4, 9, 5, 9, 6, 9}), 0xff010203, 0xff040506,
         false},
        {"rgb with tRNS", WithTransparent(Spec(8, kRgb, {200, 100, 50, 4, 5, 6}), 200, 100, 50),
         0x00c86432, 0xff040506, false},
        {"16-bit rgba", Spec(16, kRgba, {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0}),
         0x04010203, 0x08050607, true},
        {"interlaced rgb", Interlaced(Spec(8, kRgb, {1, 2, 3, 4, 5, 6})), 0xff010203, 0xff040506,
         false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = EncodePng(c.spec);
        ASSERT_FALSE(bytes.empty());
        const TDecodedImage image = Decode(bytes);
        ASSERT_EQ(image.GetSize(), 2);
        EXPECT_EQ(image.Row(0)[0], c.first) << std::hex << image.Row(0)[0];
        EXPECT_EQ(image.Row(0)[1], c.second) << std::hex << image.Row(0)[1];
        EXPECT_EQ(image.Row(1)[0], 0u);
        EXPECT_EQ(image.HasAlpha(), c.hasAlpha);
    }
}

TEST_F(PngImageTest, CorrectsForTheFileGammaAgainstADisplayGammaOf22)
{
    // Linear samples (gamma 1.0) brighten: 128 -> 255 * (128 / 255)^(1 / 2.2) = 186; a
    // file already made for the display (1 / 2.2) is left alone.
    struct TCase
    {
        double gamma;
        int expected;
    } cases[] = {{1.0, 186}, {1.0 / 2.2, 128}, {0.0, 128}};
    for (const TCase& c : cases) {
        TPngSpec spec = Spec(8, PNG_COLOR_TYPE_GRAY, {128, 128});
        spec.gamma = c.gamma;
        const TDecodedImage image = Decode(EncodePng(spec));
        EXPECT_NEAR(int(image.Row(0)[0] & 0xff), c.expected, 1) << "gamma " << c.gamma;
    }
}

TEST_F(PngImageTest, RefusesDamagedFilesWithALogLine)
{
    const std::vector<uint32_t> pixels = Pattern(40, 40, false);
    ASSERT_TRUE(WritePngImage("user:good.png", pixels.data(), 40, 40, 40 * 4));
    const std::string good = mFolder.Get("good.png");
    const size_t idat = FindPngChunk(good, "IDAT");
    const size_t ihdr = FindPngChunk(good, "IHDR");
    ASSERT_NE(idat, std::string::npos);

    std::string damagedData = good;
    damagedData[idat + 10] ^= 0x55;
    std::string wrongDataCrc = good; // the last IDAT's CRC sits right before IEND
    wrongDataCrc[FindPngChunk(good, "IEND") - 1] ^= 0x55;
    std::string wrongHeaderCrc = good;
    wrongHeaderCrc[ihdr + 8 + 13] ^= 1;
    std::string zeroWidth = WithPngSize(good, 0, 40);
    std::string badDepth = good;
    badDepth[ihdr + 8 + 8] = 3;
    FixPngChunkCrc(badDepth, ihdr);

    ExpectRefusals(
        mFolder, ReadPngImage, "bad.png",
        {
            {"empty", "", "not a PNG file"},
            {"not a png", "GIF89a and then some", "not a PNG file"},
            {"signature only", good.substr(0, 8), "Read Error"},
            {"cut in the header", good.substr(0, 20), "Read Error"},
            {"cut in the pixels", good.substr(0, idat + 30), "Read Error"},
            {"cut before the end chunk", good.substr(0, FindPngChunk(good, "IEND")), "Read Error"},
            {"damaged compressed data", damagedData, "IDAT: "},
            {"wrong data crc", wrongDataCrc, "IDAT: CRC error"},
            {"wrong header crc", wrongHeaderCrc, "IHDR: CRC error"},
            {"70000 x 70000", WithPngSize(good, 70000, 70000), "70000x70000 is larger than 4096"},
            {"one side above the limit", WithPngSize(good, TDecodedImage::kMaxSide + 1, 1),
             "4097x1 is larger than 4096"},
            {"larger than its data", WithPngSize(good, 40, 4000), "Not enough image data"},
            {"zero width", zeroWidth, "Invalid IHDR data"},
            {"bad bit depth", badDepth, "Invalid IHDR data"},
        });
}

TEST_F(PngImageTest, WriteFailuresAreReported)
{
    const std::vector<uint32_t> pixels = Noise(256, 256);
    // Every write to /dev/full fails as on a full disk.
    EXPECT_FALSE(WritePngImage("::/dev/full", pixels.data(), 256, 256, 256 * 4));
    EXPECT_EQ(mFolder.CountLogLines(LogLine(kImageFailedLog, "::/dev/full", "Write Error")), 1);
    EXPECT_FALSE(WritePngImage("user:none.png", pixels.data(), 0, 1, 0));
    EXPECT_FALSE(WritePngImage("user:none.png", pixels.data(), 4, 1, 8));
    EXPECT_FALSE(WritePngImage("user:none.png", nullptr, 4, 1, 16));
    EXPECT_FALSE(mFolder.Has("none.png"));
}

} // namespace
