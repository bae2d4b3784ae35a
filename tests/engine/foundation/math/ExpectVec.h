#pragma once

// Test helper: compares a TVec3 with expected components up to float rounding.

#include "engine/foundation/math/TVec3.h"

#include <gtest/gtest.h>

inline void ExpectVec3Near(const TVec3& v, float x, float y, float z, float eps = 1e-5f)
{
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}
