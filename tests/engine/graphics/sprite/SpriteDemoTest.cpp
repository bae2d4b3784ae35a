// The sprite demo plays animated sprites in a sprite tree and writes each frame: the
// frames must show the looping steam move, the fading cup vanish into the wall and the
// late cup appear once it has started.
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

uint32_t PixelOf(int frame, int x, int y)
{
    TDecodedImage image;
    const std::string name =
        "user:frame_" + std::string(frame < 10 ? "0" : "") + std::to_string(frame) + ".png";
    EXPECT_TRUE(ReadPngImage(name.c_str(), image)) << name;
    return image.GetWidth() > x && image.GetHeight() > y ? image.Row(y)[x] : 0u;
}

int Distance(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8)
        largest = std::max(largest, std::abs(int(a >> shift & 0xff) - int(b >> shift & 0xff)));
    return largest;
}

using SpriteDemoTest = EngineStateTest;

TEST_F(SpriteDemoTest, WritesFramesOfThePlayingSprites)
{
    TTempFolder folder;
    const std::string command =
        std::string("'") + VELMORA_SPRITEDEMO + "' '" + folder.Path() + "' 16 > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    TPathMap::Get().SetDataFolders(folder.Path().c_str(), folder.Path().c_str(),
                                   folder.Path().c_str());
    // The looping cup's body, and its steam, which moves every second frame.
    EXPECT_EQ(Distance(PixelOf(0, 60, 139), 0xffdcd0be), 0);
    EXPECT_GT(Distance(PixelOf(0, 60, 125), PixelOf(2, 60, 125)), 20);
    // The late cup is not there before it starts, and is after.
    EXPECT_LT(Distance(PixelOf(0, 260, 139), PixelOf(0, 20, 139)), 3);
    EXPECT_EQ(Distance(PixelOf(8, 260, 139), 0xffdcd0be), 0);
    // The fading cup is gone at the end of its fade: only the wall is left.
    EXPECT_GT(Distance(PixelOf(0, 160, 135), PixelOf(0, 20, 135)), 10);
    EXPECT_LT(Distance(PixelOf(14, 160, 135), PixelOf(14, 20, 135)), 2);
}

} // namespace
