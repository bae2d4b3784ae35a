#include "engine/foundation/math/TMat4.h"

#include <gtest/gtest.h>

namespace {

constexpr float kHalfPi = 1.57079632679f;
constexpr float kEps = 1e-5f;

TEST(TMat4, Perspective)
{
    struct Case
    {
        TVec2 centre;
        float m20;
        float m21;
    };
    const Case cases[] = {
        {TVec2(0, 0), 0, 0},
        {TVec2(0.5f, 0.5f), -1, 1},
        {TVec2(-0.5f, -0.5f), 1, -1},
        {TVec2(1, 1), -10000, -10000},
        {TVec2(-1, -1), -10000, -10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.centre.x << "," << c.centre.y);
        TMat4 m;
        m.SetPerspective(1, 11, kHalfPi, 0.75f, c.centre);
        EXPECT_NEAR(m.At(0, 0), 0.75f, kEps); // cot(pi/4) = 1
        EXPECT_NEAR(m.At(1, 1), 1, kEps);
        EXPECT_FLOAT_EQ(m.At(2, 0), c.m20);
        EXPECT_FLOAT_EQ(m.At(2, 1), c.m21);
        EXPECT_FLOAT_EQ(m.At(2, 2), 1.1f);
        EXPECT_FLOAT_EQ(m.At(2, 3), 1);
        EXPECT_FLOAT_EQ(m.At(3, 2), -1.1f);
        EXPECT_EQ(m.At(3, 3), 0);
        EXPECT_EQ(m.At(0, 1), 0);
        EXPECT_EQ(m.At(1, 0), 0);
    }
    const TMat4 identity;
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 4; ++col)
            EXPECT_EQ(identity.At(r, col), r == col ? 1.0f : 0.0f);
}

} // namespace
