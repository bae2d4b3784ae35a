#include "engine/foundation/math/TColor32.h"

#include "engine/foundation/math/TColor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(TColor32, FromFloatColour)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        TColor colour;
        uint32_t packed;
    };
    const Case cases[] = {
        {TColor(1, 0, 0, 1), 0xFFFF0000u},
        {TColor(0.5f, 0.5f, 0.5f, 0.5f), 0x7F7F7F7Fu},
        {TColor(0, 0, 0, 0), 0},
        {TColor(1, 1, 1, 1), 0xFFFFFFFFu},
        // 1.5 x 255 = 382 = 0x17E: its ninth bit lands in the next channel up.
        {TColor(0, 0, 1.5f, 0), 0x17Eu},
        {TColor(0, 1.5f, 0, 0), 0x17E00u},
        // -1 x 255 = -255: its sign bits fill every channel above.
        {TColor(0, 0, -1, 0), 0xFFFFFF01u},
        // NaN counts as 0; infinities saturate to the int64 range, then are packed.
        {TColor(nan, nan, nan, nan), 0},
        {TColor(0, 0, nan, 1), 0xFF000000u},
        {TColor(0, 0, inf, 0), 0xFFFFFFFFu},
        {TColor(0, 0, -inf, 0), 0},
        {TColor(0, 0, 1e30f, 0), 0xFFFFFFFFu},
        {TColor(0, inf, 0, 0), 0xFFFFFF00u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.colour.r << " " << c.colour.g << " " << c.colour.b << " " << c.colour.a);
        EXPECT_EQ(TColor32(c.colour).GetValue(), c.packed);
    }
}

TEST(TColor32, IntsAndChannels)
{
    EXPECT_EQ(TColor32(256, 1, 2, 3).GetValue(), 0x03000102u);
    EXPECT_EQ(TColor32(-1, 0, 0, 0).GetValue(), 0x00FF0000u);
    TColor32 c(0x11223344u);
    EXPECT_EQ(c.GetAlpha(), 0x11);
    EXPECT_EQ(c.GetRed(), 0x22);
    EXPECT_EQ(c.GetGreen(), 0x33);
    EXPECT_EQ(c.GetBlue(), 0x44);
    c.SetRed(0x1AB);
    EXPECT_EQ(c.GetValue(), 0x11AB3344u);
    c.SetGreen(0xCD);
    c.SetBlue(-1);
    EXPECT_EQ(c.GetValue(), 0x11ABCDFFu);
    c.SetAlpha(0x80);
    EXPECT_EQ(c.GetValue(), 0x80ABCDFFu);
    EXPECT_EQ(TColor32().GetValue(), 0u);
}

TEST(TColor, BytesAndComparison)
{
    TColor c;
    c.SetFromBytes(255, 0, 51, 102);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 0.0f);
    EXPECT_FLOAT_EQ(c.b, 0.2f);
    EXPECT_FLOAT_EQ(c.a, 0.4f);
    EXPECT_FALSE(c != c);
    TColor d = c;
    d.a = 0.41f;
    EXPECT_TRUE(c != d);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const TColor n(nan, 0, 0, 0);
    EXPECT_TRUE(n != n);
}

} // namespace
