#include "engine/graphics/TTextureData.h"

#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/JpegImage.h"
#include "engine/graphics/image/PngImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/graphics/RendererTestSupport.h"
#include "tests/engine/graphics/image/JpegEncoder.h"
#include "tests/engine/graphics/image/PngEncoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A picture whose pixels tell where they are: red = x, green = y, blue = seed.
std::vector<uint32_t> Picture(int width, int height, uint32_t alpha, uint8_t seed = 0)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] =
                alpha << 24 | uint32_t(x & 0xff) << 16 | uint32_t(y & 0xff) << 8 | seed;
    return pixels;
}

class TTextureDataTest : public EngineStateTest
{
protected:
    // Writes a PNG of width x height (alpha as given, 255 makes it opaque but still RGBA)
    // and answers its engine path.
    std::string PutPng(const std::string& name, int width, int height, uint32_t alpha = 0x80,
                       uint8_t seed = 0)
    {
        const std::vector<uint32_t> pixels = Picture(width, height, alpha, seed);
        const std::string path = "user:" + name;
        EXPECT_TRUE(WritePngImage(path.c_str(), pixels.data(), width, height, width * 4));
        return path;
    }
    std::string PutJpeg(const std::string& name, int width, int height)
    {
        const std::vector<uint32_t> pixels = Picture(width, height, 0xff);
        const std::string path = "user:" + name;
        EXPECT_TRUE(WriteJpegImage(path.c_str(), 1.0f, width, height, width * 4, pixels.data()));
        return path;
    }

    TImageFolder mFolder;
};

TEST_F(TTextureDataTest, LoadChoosesTheSurfaceAndTheBorderFromThePicture)
{
    struct TCase
    {
        int width, height;
        bool squareOnly;
        const char* options;
        int surfaceWidth, surfaceHeight, borderX, borderY;
    } cases[] = {
        {100, 30, false, "", 128, 32, 14, 1},        {100, 30, true, "", 128, 128, 14, 49},
        {30, 100, false, "", 128, 128, 49, 14},      {1, 1, false, "", 1, 1, 0, 0},
        {101, 3, false, "", 128, 4, 13, 0},          {1500, 20, false, "?slow", 2048, 32, 274, 6},
        {1500, 20, true, "?slow", 2048, 32, 274, 6}, // slow is simple: never squared
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << c.options << (c.squareOnly ? " square" : ""));
        TTestDisplay display(8, 8);
        display.handler->SetSquareTexturesOnly(c.squareOnly);
        const std::string path = PutPng("p.png", c.width, c.height);
        TTextureData data;
        data.SetFlags(TTextureData::kAlphaFromImage);
        ASSERT_TRUE(data.Load((path + c.options).c_str()));
        EXPECT_EQ(data.GetImageWidth(), c.width);
        EXPECT_EQ(data.GetImageHeight(), c.height);
        EXPECT_EQ(data.GetSurfaceWidth(), c.surfaceWidth);
        EXPECT_EQ(data.GetSurfaceHeight(), c.surfaceHeight);
        EXPECT_EQ(data.GetBorderX(), c.borderX);
        EXPECT_EQ(data.GetBorderY(), c.borderY);
        int width = 0;
        int height = 0;
        data.GetSurfaceSize(width, height);
        EXPECT_EQ(width, std::max(c.surfaceWidth, 2));
        EXPECT_EQ(height, std::max(c.surfaceHeight, 2));
        // The picture sits in the top-left corner, zeros around it.
        const TSurface& surface = *data.GetSurface();
        EXPECT_EQ(surface.At(c.width - 1, c.height - 1), 0x80000000u |
                                                             uint32_t((c.width - 1) & 0xff) << 16 |
                                                             uint32_t((c.height - 1) & 0xff) << 8);
        if (c.surfaceWidth > c.width) {
            EXPECT_EQ(surface.At(c.width, 0), 0u);
        }
    }
}

TEST_F(TTextureDataTest, PicturesAboveTheLimitNeedSlow)
{
    const std::string path = PutPng("wide.png", 1500, 20);
    TTextureData data;
    EXPECT_FALSE(data.Load(path.c_str()));
    EXPECT_EQ(data.GetSurface(), nullptr);
    EXPECT_EQ(mFolder.CountLogLines(
                  LogLine(kImageFailedLog, "user:wide.png", "1500x20 is larger than 1024")),
              1);
    ASSERT_TRUE(data.Load((path + "?slow").c_str()));
    EXPECT_EQ(data.GetFlags(), TTextureData::kSlow | TTextureData::kSimple);
}

// Files whose headers claim a picture above the limit, with far too little data behind:
// without "slow" the readers refuse them from the header and decode nothing (no other
// line about them); with "slow" they are decoded and fail, or are completed, as data.
TEST_F(TTextureDataTest, TheLimitIsCheckedFromTheHeaderBeforeDecoding)
{
    TPngSpec tiny;
    tiny.rows.assign(4, 0x40);
    const std::string png = EncodePng(tiny);
    const std::string jpeg = mFolder.Get(PutJpeg("tiny.jpg", 8, 8).substr(5));
    struct TCase
    {
        const char* name;
        std::string bytes;
        const char* claimed;
        bool slowLoads;
    } cases[] = {
        {"line.png", WithPngSize(png, 4096, 1), "4096x1", false},
        {"bomb.png", WithPngSize(png, 4096, 4096), "4096x4096", false},
        {"tall.png", WithPngSize(png, 1, 1025), "1x1025", false},
        {"line.jpg", WithJpegSize(jpeg, 4096, 1), "4096x1", true},
        {"tall.jpg", WithJpegSize(jpeg, 8, 2048), "8x2048", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty());
        const std::string path = mFolder.Put(c.name, c.bytes);
        const std::string about = LogLine(kImageFailedLog, path.c_str(), "");
        TTextureData data;
        EXPECT_FALSE(data.Load(path.c_str()));
        EXPECT_EQ(mFolder.CountLogLines(LogLine(kImageFailedLog, path.c_str(), c.claimed) +
                                        " is larger than 1024"),
                  1);
        EXPECT_EQ(mFolder.CountLogLines(about), 1);

        TTextureData slow;
        EXPECT_EQ(slow.Load((path + "?slow").c_str()), c.slowLoads);
        EXPECT_GT(mFolder.CountLogLines(about), 1); // the decoder's own word on the data
    }

    // A mask is held to the same limit.
    const std::string picture = PutPng("picture.png", 4, 4);
    const std::string mask = mFolder.Put("mask.png", WithPngSize(png, 2048, 2048));
    TTextureData masked;
    EXPECT_FALSE(masked.Load(picture.c_str(), mask.c_str()));
    EXPECT_EQ(mFolder.CountLogLines(
                  LogLine(kImageFailedLog, mask.c_str(), "2048x2048 is larger than 1024")),
              1);
}

TEST_F(TTextureDataTest, OptionsAndThePictureSetTheFlags)
{
    const std::string png = PutPng("rgba.png", 4, 4);
    const std::string jpeg = PutJpeg("photo.jpg", 4, 4);
    TPngSpec rgbSpec;
    rgbSpec.width = 2;
    rgbSpec.height = 2;
    rgbSpec.colorType = PNG_COLOR_TYPE_RGB;
    rgbSpec.rows.assign(12, 0x40);
    const std::string rgb = mFolder.Put("rgb.png", EncodePng(rgbSpec));
    struct TCase
    {
        std::string name;
        uint8_t before, after;
    } cases[] = {
        {jpeg + "?alpha", 0, TTextureData::kAlpha},
        {jpeg + "?mipmap,alpha", 0, TTextureData::kAlpha | TTextureData::kMipmap},
        {jpeg + "?simpleton", 0, TTextureData::kSimple},
        {jpeg + "?slow", 0, TTextureData::kSlow | TTextureData::kSimple},
        {jpeg + "?alpha", TTextureData::kAlphaFromImage, TTextureData::kAlpha},
        {jpeg, TTextureData::kAlphaFromImage, TTextureData::kAlphaFromImage},
        {jpeg, TTextureData::kAlpha | TTextureData::kAlphaFromImage,
         TTextureData::kAlpha | TTextureData::kAlphaFromImage}, // only PNG files decide
        {png, TTextureData::kAlphaFromImage, TTextureData::kAlpha | TTextureData::kAlphaFromImage},
        {rgb, TTextureData::kAlpha | TTextureData::kAlphaFromImage, TTextureData::kAlphaFromImage},
        {rgb, TTextureData::kAlpha, TTextureData::kAlpha},
        {png, TTextureData::kMipmap, TTextureData::kMipmap},
        {png + "?Alpha", 0, 0}, // words are case-sensitive
    };
    for (const TCase& c : cases) {
        TTextureData data;
        data.SetFlags(c.before);
        ASSERT_TRUE(data.Load(c.name.c_str())) << c.name;
        EXPECT_EQ(int(data.GetFlags()), int(c.after)) << c.name;
        EXPECT_EQ(data.GetSourceName(), TString(c.name.c_str())) << "the options stay in the name";
    }
}

TEST_F(TTextureDataTest, ABareNameTriesPngThenJpeg)
{
    PutJpeg("ui/only-jpeg.jpg", 4, 2);
    PutPng("ui/both.png", 4, 2, 0x80, 1);
    PutJpeg("ui/both.jpg", 4, 2);
    mFolder.Put("ui/broken.png", "not a png at all");
    PutJpeg("ui/broken.jpg", 4, 2);
    PutJpeg("ui/missing-png.jpg", 4, 2);
    struct TCase
    {
        const char* name;
        const char* source; // "" when the load fails
    } cases[] = {
        {"user:ui/only-jpeg", "user:ui/only-jpeg.jpg"},
        {"user:ui/both", "user:ui/both.png"},
        {"user:ui/both?alpha", "user:ui/both.png?alpha"},
        {"user:ui/broken", "user:ui/broken.jpg"}, // a .png that fails lets the .jpg try
        {"user:ui/missing-png.png", ""},          // a name with an extension is not varied
        {"user:ui/nothing", ""},
    };
    for (const TCase& c : cases) {
        TTextureData data;
        EXPECT_EQ(data.Load(c.name), *c.source != '\0') << c.name;
        EXPECT_EQ(data.GetSourceName(), TString(c.source)) << c.name;
    }
}

TEST_F(TTextureDataTest, AMaskGivesItsRedChannelAsAlpha)
{
    const std::string image = PutPng("image.png", 4, 4, 0xff);
    // Mask red = x * 64 (Picture puts x into red), same square as the image.
    std::vector<uint32_t> mask = Picture(4, 4, 0xff);
    for (uint32_t& pixel : mask)
        pixel = 0xff000000u | ((pixel >> 16 & 0xff) * 64) << 16;
    ASSERT_TRUE(WritePngImage("user:masks/m.png", mask.data(), 4, 4, 16));
    ASSERT_TRUE(WritePngImage("user:masks/other", mask.data(), 4, 4, 16));
    const std::vector<uint32_t> large = Picture(8, 8, 0xff);
    ASSERT_TRUE(WritePngImage("user:masks/large.png", large.data(), 8, 8, 32));
    mFolder.Put("masks/broken.png", "broken");

    struct TCase
    {
        const char* mask;
        bool loads;
        const char* storedMask;
        uint32_t alphaAt3; // alpha of pixel (3, 0)
    } cases[] = {
        {"user:masks/m.png", true, "user:masks/m.png", 192},
        {"user:masks/m", true, "user:masks/m.png", 192},             // ".jpg" first, then ".png"
        {"user:masks/large.png", true, "user:masks/large.png", 255}, // another size: ignored
        {"user:masks/other", true, "user:masks/other", 255},         // neither extension: ignored
        {"user:masks/none.png", false, "", 0},
        {"user:masks/none", false, "", 0},
        {"user:masks/broken.png", false, "", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.mask);
        TTextureData data;
        data.SetFlags(TTextureData::kAlpha);
        ASSERT_EQ(data.Load(image.c_str(), c.mask), c.loads);
        EXPECT_EQ(data.GetMaskName(), TString(c.storedMask));
        if (c.loads) {
            EXPECT_EQ(data.GetSurface()->At(3, 0) >> 24, c.alphaAt3);
        }
    }
}

TEST_F(TTextureDataTest, WritesKeepTexturesWithoutAlphaOpaque)
{
    for (bool alpha : {true, false}) {
        TTextureData data;
        data.SetFlags(alpha ? TTextureData::kAlpha : 0);
        ASSERT_TRUE(data.CreateSurface(4, 2, true));
        const uint32_t opaque = alpha ? 0 : 0xff000000u;
        const std::vector<uint32_t> pixels = {0x11223344, 0x00000005, 0x7f000006,
                                              0x01020304, 0x05060708, 0x090a0b0c};
        ASSERT_TRUE(data.SetPixels(3, 2, pixels.data()));
        const TSurface& surface = *data.GetSurface();
        EXPECT_EQ(surface.At(0, 0), 0x11223344u | opaque);
        EXPECT_EQ(surface.At(1, 0), 0x00000005u | opaque);
        EXPECT_EQ(surface.At(2, 1), 0x090a0b0cu | opaque);
        EXPECT_EQ(surface.At(3, 1), opaque) << "only the given width is written";

        // Blits: cut to the destination, raw pixels, alpha kept only with the flag.
        TTextureData target;
        target.SetFlags(alpha ? TTextureData::kAlpha : 0);
        ASSERT_TRUE(target.CreateSurface(3, 3, true));
        const TRect source(1, 0, 3, 2);
        data.Blit(2, 1, &source, &target);
        EXPECT_EQ(target.GetSurface()->At(2, 1), 0x00000005u | opaque);
        EXPECT_EQ(target.GetSurface()->At(2, 2), 0x05060708u | opaque);
        EXPECT_EQ(target.GetSurface()->At(1, 1), opaque);
    }
    TTextureData none;
    EXPECT_FALSE(none.SetPixels(1, 1, std::vector<uint32_t>{1}.data()));
}

TEST_F(TTextureDataTest, BlitsGoToTheBackBufferWithoutATarget)
{
    TTestDisplay display(6, 4);
    TTextureData data;
    data.SetFlags(TTextureData::kAlpha);
    ASSERT_TRUE(data.CreateSurface(2, 2, true));
    const std::vector<uint32_t> pixels = {0x10000001, 0x10000002, 0x10000003, 0x10000004};
    data.SetPixels(2, 2, pixels.data());
    data.Blit(5, 3, nullptr, nullptr);
    EXPECT_EQ(display.BackBuffer().At(5, 3), 0x10000001u);
    EXPECT_EQ(display.BackBuffer().At(4, 3), 0u);
    // Onto itself, overlapping: the copy reads the pixels as they were.
    data.Blit(1, 0, nullptr, &data);
    EXPECT_EQ(data.GetSurface()->At(1, 0), 0x10000001u);
    EXPECT_EQ(data.GetSurface()->At(1, 1), 0x10000003u);
    EXPECT_EQ(data.GetSurface()->At(0, 1), 0x10000003u);
}

TEST_F(TTextureDataTest, SquareDevicesGetSquareSurfacesUnlessSimple)
{
    TTestDisplay display(8, 8);
    display.handler->SetSquareTexturesOnly(true);
    struct TCase
    {
        uint8_t flags;
        int width, height, surfaceWidth, surfaceHeight;
    } cases[] = {{0, 100, 60, 128, 128},
                 {TTextureData::kSimple, 100, 60, 100, 60},
                 {0, 64, 64, 64, 64},
                 {0, 1, 3, 4, 4}};
    for (const TCase& c : cases) {
        TTextureData data;
        data.SetFlags(c.flags);
        ASSERT_TRUE(data.CreateSurface(c.width, c.height, true));
        EXPECT_EQ(data.GetSurfaceWidth(), c.surfaceWidth);
        EXPECT_EQ(data.GetSurfaceHeight(), c.surfaceHeight);
        EXPECT_EQ(data.GetImageWidth(), c.width);
        EXPECT_EQ(data.GetImageHeight(), c.height);
    }
    TTextureData data;
    EXPECT_FALSE(data.CreateSurface(TTextureData::kMaxSurfaceSide + 1, 1, true));
    EXPECT_FALSE(data.CreateSurface(0, 1, true));
    EXPECT_EQ(data.GetSurface(), nullptr);
}

TEST_F(TTextureDataTest, RestoreRebuildsAReleasedSurface)
{
    TTestDisplay display(8, 8);
    const std::string path = PutPng("r.png", 5, 3);

    TTextureData unnamed;
    unnamed.SetFlags(TTextureData::kAlpha);
    ASSERT_TRUE(unnamed.CreateSurface(5, 3, true));
    unnamed.ReleaseSurface();
    EXPECT_EQ(unnamed.GetSurface(), nullptr);
    EXPECT_EQ(unnamed.GetImageWidth(), 5);
    unnamed.Restore();
    ASSERT_NE(unnamed.GetSurface(), nullptr);
    EXPECT_EQ(unnamed.GetSurfaceWidth(), 5);
    EXPECT_EQ(unnamed.GetSurface()->At(4, 2), 0u);

    TTextureData loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    const uint32_t corner = loaded.GetSurface()->At(4, 2);
    loaded.Restore(); // a surface is there: nothing to do
    loaded.ReleaseSurface();
    loaded.Restore();
    ASSERT_NE(loaded.GetSurface(), nullptr);
    EXPECT_EQ(loaded.GetSurface()->At(4, 2), corner);
    EXPECT_TRUE(display.handler->IsValid());
}

TEST_F(TTextureDataTest, ARestoreThatFailsGivesUpOnAMissingFileAndRetriesOtherwise)
{
    // Memory files, so that a file can really go away (the path map remembers disk files).
    const std::vector<uint32_t> pixels = Picture(4, 4, 0xff);
    ASSERT_TRUE(WritePngImage("user:source.png", pixels.data(), 4, 4, 16));
    const std::string png = mFolder.Get("source.png");
    const std::string damaged = "damaged";
    struct TCase
    {
        const char* file;
        const char* name;
        bool damage; // else the file goes away
    } cases[] = {{"gone.png", "gone.png", false},
                 {"gone2.png", "gone2", false},
                 {"damaged.png", "damaged.png", true},
                 {"damaged2.png", "damaged2?alpha", true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTestDisplay display(8, 8);
        RegisterMemoryFile(c.file, png.data(), png.size());
        TTextureData data;
        ASSERT_TRUE(data.Load(c.name));
        data.ReleaseSurface();
        RegisterMemoryFile(c.file, c.damage ? damaged.data() : nullptr, damaged.size());
        data.Restore();
        EXPECT_EQ(data.GetSurface(), nullptr);
        const std::string source = data.GetSourceName().CStr();
        EXPECT_EQ(mFolder.CountLogLines(
                      TString::Printf(TTextureData::kRereadFailedLog, source.c_str()).CStr()),
                  1);
        EXPECT_EQ(display.handler->IsValid(), !c.damage) << "only a damaged file is retried";
        RegisterMemoryFile(c.file, nullptr, 0);
    }
}

} // namespace
