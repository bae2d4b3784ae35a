#include "engine/graphics/CursorPixels.h"

#include <gtest/gtest.h>

namespace {

TEST(CursorPixels, MagentaIsTheKeyWhateverTheAlpha)
{
    struct TCase
    {
        uint32_t texel;
        bool key;
    };
    const TCase cases[] = {
        {0xFFFF00FFu, true},  {0x00FF00FFu, true},  {0x80FA00FAu, true},
        {0xFFF800F8u, true},  {0xFFF700FFu, false}, {0xFFFF00F7u, false},
        {0xFFFA01FAu, false}, {0x00000000u, false}, {0xFFFFFFFFu, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsCursorKey(c.texel), c.key) << std::hex << c.texel;
}

TEST(CursorPixels, OpaqueTexelsAreScaledBy255Over256)
{
    EXPECT_EQ(ToCursorPixel(0x00FFFFFFu), 0xFFFEFEFEu); // white is drawn as 254
    EXPECT_EQ(ToCursorPixel(0x80000000u), 0xFF000000u);
    EXPECT_EQ(ToCursorPixel(0xFF804001u), 0xFF7F3F00u);
}

TEST(CursorPixels, RowsAreReadAtTheirPitch)
{
    // A 2 x 2 image in rows of 3 texels; the third texel of a row is not the image's.
    const uint32_t texels[] = {0xFFFF00FFu, 0xFF000000u, 0x12345678u,
                               0x00FFFFFFu, 0x00FA00FAu, 0x12345678u};
    const std::vector<uint32_t> pixels = MakeCursorPixels(texels, 3, 2, 2);
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0u, 0xFF000000u, 0xFFFEFEFEu, 0u}));
    EXPECT_TRUE(MakeCursorPixels(nullptr, 3, 2, 2).empty());
}

} // namespace
