// The texture demo draws its scene from files it writes and loads back (JPEG, PNG, a
// mask, a simple texture) and saves the frame: the frame must show each of them where
// the demo put it.
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

bool IsNear(uint32_t pixel, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int(pixel >> shift & 0xff) - int(expected >> shift & 0xff)) > tolerance)
            return false;
    return true;
}

// Files are found through the process-wide path map.
using TextureDemoTest = EngineStateTest;

TEST_F(TextureDemoTest, WritesAFrameShowingEveryTexture)
{
    TTempFolder folder;
    const std::string command =
        std::string("'") + VELMORA_TEXTUREDEMO + "' '" + folder.Path() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    TPathMap::Get().SetDataFolders(folder.Path().c_str(), folder.Path().c_str(),
                                   folder.Path().c_str());
    TDecodedImage frame;
    ASSERT_TRUE(ReadPngImage("user:frame.png", frame));
    ASSERT_EQ(frame.GetWidth(), 400);
    ASSERT_EQ(frame.GetHeight(), 300);
    struct TCase
    {
        const char* what;
        int x, y;
        uint32_t pixel;
        int tolerance;
    } cases[] = {
        {"sky (JPEG, opaque)", 20, 20, 0xff92c3f2, 6},
        {"petal (JPEG under a PNG mask)", 224, 120, 0xffd999ac, 10},
        {"sky between two petals (the mask's zero)", 219, 134, 0xffb4d6f2, 8},
        {"flower heart (JPEG under a PNG mask)", 200, 120, 0xfff2cc33, 8},
        {"stamp (simple texture, blitted)", 369, 9, 0xffe64d4d, 0},
        {"stamp's other square", 375, 9, 0xffffffff, 0},
    };
    for (const TCase& c : cases)
        EXPECT_TRUE(IsNear(frame.Row(c.y)[c.x], c.pixel, c.tolerance))
            << c.what << ": " << std::hex << frame.Row(c.y)[c.x];
    // Between the petals the mask lets the sky through.
    EXPECT_TRUE(IsNear(frame.Row(120)[200 + 44] | 0, frame.Row(120)[200 + 44], 0));
}

} // namespace
