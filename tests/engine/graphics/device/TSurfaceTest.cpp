#include "engine/graphics/device/TSurface.h"

#include <gtest/gtest.h>

namespace {

TSurface Numbered(int width, int height)
{
    TSurface surface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface.At(x, y) = static_cast<uint32_t>(100 * y + x + 1);
    return surface;
}

TEST(TSurface, NewSurfacesAreZeroAndBadSizesAreEmpty)
{
    TSurface surface(3, 2);
    EXPECT_EQ(surface.GetPitch(), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(surface.At(x, y), 0u);
    EXPECT_TRUE(TSurface(0, 5).IsEmpty());
    EXPECT_TRUE(TSurface(5, -1).IsEmpty());
    EXPECT_EQ(TSurface(-3, 4).GetWidth(), 0);
}

TEST(TSurface, FillIsCutToTheSurface)
{
    struct Case
    {
        TRect rect;
        int filled;
    };
    const Case cases[] = {
        {TRect(1, 1, 3, 3), 4}, {TRect(-5, -5, 2, 1), 2}, {TRect(3, 2, 10, 10), 2},
        {TRect(2, 2, 2, 4), 0}, {TRect(3, 3, 1, 1), 0},   {TRect(-9, -9, 99, 99), 16},
    };
    for (const Case& c : cases) {
        TSurface surface(4, 4);
        surface.Fill(c.rect, 0xAABBCCDDu);
        int filled = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool inside = c.rect.Contains(x, y);
                EXPECT_EQ(surface.At(x, y), inside ? 0xAABBCCDDu : 0u);
                filled += inside ? 1 : 0;
            }
        EXPECT_EQ(filled, c.filled);
    }
}

TEST(TSurface, CopyIsCutToSourceAndDestination)
{
    const TSurface source = Numbered(4, 3);
    struct Case
    {
        TRect from;
        int x, y;
    };
    const Case cases[] = {
        {TRect(0, 0, 4, 3), 0, 0}, {TRect(1, 1, 3, 3), 2, 3},   {TRect(-2, -1, 2, 2), 0, 0},
        {TRect(0, 0, 4, 3), 3, 4}, {TRect(0, 0, 4, 3), -2, -1}, {TRect(2, 0, 9, 9), 4, 0},
        {TRect(0, 0, 4, 3), 9, 9},
    };
    for (const Case& c : cases) {
        TSurface target(5, 5);
        target.Copy(source, c.from, c.x, c.y);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) {
                const int sx = x - c.x + c.from.left;
                const int sy = y - c.y + c.from.top;
                const bool copied = c.from.Contains(sx, sy) && source.GetBounds().Contains(sx, sy);
                EXPECT_EQ(target.At(x, y), copied ? source.At(sx, sy) : 0u)
                    << "case at " << c.x << "," << c.y << " pixel " << x << "," << y;
            }
    }
}

TEST(TSurface, MakeOpaqueSetsOnlyTheAlphaBytes)
{
    TSurface surface = Numbered(3, 3);
    surface.MakeOpaque(TRect(1, 0, 5, 2));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint32_t number = static_cast<uint32_t>(100 * y + x + 1);
            const bool inside = x >= 1 && y < 2;
            EXPECT_EQ(surface.At(x, y), inside ? (number | 0xFF000000u) : number);
        }
}

} // namespace
