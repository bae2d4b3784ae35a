#include "engine/foundation/math/TVec2.h"
#include "engine/foundation/math/TVec3.h"
#include "engine/foundation/math/TVec4.h"
#include "tests/engine/foundation/math/ExpectVec.h"

#include <gtest/gtest.h>

namespace {

TEST(TVec, Arithmetic)
{
    TVec2 a(1, 2);
    TVec2 b(3, 5);
    EXPECT_EQ(a + b, TVec2(4, 7));
    EXPECT_EQ(b - a, TVec2(2, 3));
    EXPECT_EQ(a * 3.0f, TVec2(3, 6));
    EXPECT_EQ(-a, TVec2(-1, -2));
    a -= b;
    EXPECT_EQ(a, TVec2(-2, -3));
    EXPECT_EQ(TVec2(TVec3(7, 8, 9)), TVec2(7, 8));

    TVec3 u(1, 2, 3);
    TVec3 v(TVec2(4, 5), 6);
    EXPECT_EQ(u + v, TVec3(5, 7, 9));
    EXPECT_EQ(v - u, TVec3(3, 3, 3));
    EXPECT_EQ(u * 2.0f, TVec3(2, 4, 6));
    v /= 2.0f;
    EXPECT_EQ(v, TVec3(2, 2.5f, 3));
    EXPECT_FLOAT_EQ(Dot(u, TVec3(4, 5, 6)), 32.0f);
    EXPECT_FLOAT_EQ(TVec3(3, 4, 0).LengthSquared(), 25.0f);
    EXPECT_FLOAT_EQ(TVec3(3, 4, 0).Length(), 5.0f);
    EXPECT_FALSE(TVec3(1, 2, 3) == TVec3(1, 2, 3.0001f));

    TVec4 w(1, 2, 3, 4);
    EXPECT_EQ(w.w, 4.0f);
    EXPECT_EQ(TVec4().x, 0.0f);
}

TEST(TVec, Normalize)
{
    struct Case
    {
        TVec3 in;
        TVec3 out;
    };
    const Case cases[] = {
        {TVec3(0, 0, 0), TVec3(0, 0, 0)},
        {TVec3(3, 0, 4), TVec3(0.6f, 0, 0.8f)},
        {TVec3(0, -2, 0), TVec3(0, -1, 0)},
    };
    for (const Case& c : cases) {
        TVec3 v = c.in;
        v.Normalize();
        ExpectVec3Near(v, c.out.x, c.out.y, c.out.z);
    }
}

} // namespace
