#include "engine/foundation/math/TMat3.h"

#include "tests/engine/foundation/math/ExpectVec.h"

#include <gtest/gtest.h>

namespace {

constexpr float kHalfPi = 1.57079632679f;
constexpr float kEps = 1e-5f;

TEST(TMat3, RotationAndScaleKeepTranslation)
{
    TMat3 m;
    m.At(2, 0) = 5;
    m.At(2, 1) = 7;
    m.Rotate(kHalfPi);
    ExpectVec3Near(m.Row(0), 0, 1, 0);
    ExpectVec3Near(m.Row(1), -1, 0, 0);
    ExpectVec3Near(m.Row(2), 5, 7, 1);

    m.Scale(2, 3);
    ExpectVec3Near(m.Row(0), 0, 3, 0);
    ExpectVec3Near(m.Row(1), -2, 0, 0);
    ExpectVec3Near(m.Row(2), 5, 7, 1);

    m.ScaleUniform(0.5f);
    ExpectVec3Near(m.Row(0), 0, 1.5f, 0);
    ExpectVec3Near(m.Row(2), 5, 7, 1);
}

TEST(TMat3, PointMapping)
{
    TVec2 p = TVec2(1, 0) * TMat3::Rotation(kHalfPi);
    EXPECT_NEAR(p.x, 0, kEps);
    EXPECT_NEAR(p.y, 1, kEps);

    const TMat3 affine(2, 0, 0, 0, 3, 0, 10, 20, 1);
    EXPECT_EQ(TVec2(1, 1) * affine, TVec2(12, 23));
    EXPECT_EQ(TVec3(1, 1, 1) * affine, TVec3(12, 23, 1));
    EXPECT_EQ(TVec3(1, 1, 0) * affine, TVec3(2, 3, 0));
}

TEST(TMat3, ProductIsAssociativeWithPoints)
{
    const TMat3 a = [] {
        TMat3 m = TMat3::Rotation(0.3f);
        m.At(2, 0) = 4;
        m.At(2, 1) = -2;
        return m;
    }();
    const TMat3 b(1.5f, 0.25f, 0, -0.5f, 2, 0, 7, 3, 1);
    for (const TVec2& p : {TVec2(0, 0), TVec2(1, 0), TVec2(-3, 2.5f), TVec2(100, -50)}) {
        const TVec2 once = p * (a * b);
        const TVec2 twice = (p * a) * b;
        EXPECT_NEAR(once.x, twice.x, 1e-3f);
        EXPECT_NEAR(once.y, twice.y, 1e-3f);
    }
    TMat3 c = a;
    c *= b;
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col)
            EXPECT_FLOAT_EQ(c.At(r, col), (a * b).At(r, col));
    // A non-affine product uses every element.
    const TMat3 full(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const TMat3 sq = full * full;
    ExpectVec3Near(sq.Row(0), 30, 36, 42);
    ExpectVec3Near(sq.Row(2), 102, 126, 150);
}

} // namespace
