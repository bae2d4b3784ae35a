#include "engine/graphics/vector/TargetSpanWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(TargetSpanWriter, EachModeMixesAsDocumented)
{
    struct TCase
    {
        TTargetWrite mode;
        uint32_t source, destination, expected;
    };
    const TCase cases[] = {
        // Copy: the span replaces the pixel, alpha and all.
        {TTargetWrite::Copy, 0x80FF0000u, 0xFF00FF00u, 0x80FF0000u},
        {TTargetWrite::Copy, 0x00123456u, 0xFFFFFFFFu, 0x00123456u},
        // Blend into transparency: the span as it is.
        {TTargetWrite::Blend, 0x80FF0000u, 0x00000000u, 0x80FF0000u},
        // Blend: colours weighted by both alphas, alphas added up to 255.
        {TTargetWrite::Blend, 0x40FF0000u, 0x400000FFu, 0x807F007Fu},
        {TTargetWrite::Blend, 0xFFFFFFFFu, 0xFF000000u, 0xFF7F7F7Fu},
        // Blend with alpha 0 leaves the pixel alone.
        {TTargetWrite::Blend, 0x00FFFFFFu, 0x40102030u, 0x40102030u},
        // Normal: mixed by the span's alpha, the destination keeps its alpha.
        {TTargetWrite::Normal, 0xFFFF0000u, 0x200000FFu, 0x20FF0000u},
        {TTargetWrite::Normal, 0x80FFFFFFu, 0xFF000000u, 0xFF808080u},
        {TTargetWrite::Normal, 0x00FFFFFFu, 0x7F102030u, 0x7F102030u},
    };
    for (const TCase& c : cases) {
        uint32_t pixels[3] = {0xDEADBEEFu, c.destination, c.destination};
        WriteTargetSpan(pixels + 1, 1, c.source, c.mode);
        EXPECT_EQ(pixels[1], c.expected) << std::hex << c.source << " over " << c.destination;
        EXPECT_EQ(pixels[0], 0xDEADBEEFu);
        EXPECT_EQ(pixels[2], c.destination); // only count pixels
    }
}

} // namespace
