// textdemo draws its sample text with the fonts the build converts: the picture shows
// ink where the text goes, and the texture holds the blended text.

#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/tools/ToolTest.h"

#include <string>

namespace {

using TextdemoTest = ToolTest;

// The path map is process-wide: the test reads through it and leaves it empty.
struct TScopedPathMap
{
    explicit TScopedPathMap(const char* folder)
    {
        TPathMap::Get().SetDataFolders(folder, folder, folder);
    }
    ~TScopedPathMap() { TPathMap::Get().Reset(); }
};

// How many pixels of the rectangle differ from the first one.
int Ink(const TDecodedImage& image, int left, int top, int right, int bottom)
{
    int ink = 0;
    const uint32_t background = image.Row(top)[left];
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            ink += image.Row(y)[x] != background;
    return ink;
}

TEST_F(TextdemoTest, DrawsTheSampleText)
{
    const TToolResult result =
        Run("textdemo", {mFolder.string(), std::string(VELMORA_BINARY_DIR) + "/assets/fonts"});
    ASSERT_EQ(result.mStatus, 0) << result.mErr;
    const TScopedPathMap paths(mFolder.c_str());
    TDecodedImage screen;
    ASSERT_TRUE(ReadPngImage("user:screen.png", screen));
    EXPECT_EQ(screen.GetWidth(), 800);
    EXPECT_GT(Ink(screen, 10, 4, 310, 56), 1500);    // the title
    EXPECT_GT(Ink(screen, 10, 300, 390, 400), 3000); // the paragraph
    EXPECT_EQ(Ink(screen, 600, 540, 780, 590), 0);   // an empty corner of the panel
    TDecodedImage texture;
    ASSERT_TRUE(ReadPngImage("user:texture.png", texture));
    EXPECT_TRUE(texture.HasAlpha());
    EXPECT_EQ(texture.Row(70)[5] >> 24, 0u);
    EXPECT_GT(Ink(texture, 0, 0, 320, 40), 1000);
}

} // namespace
