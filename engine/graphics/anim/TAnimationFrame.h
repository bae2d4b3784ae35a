#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TMat3.h"
#include "engine/graphics/anim/TAnimationAnchor.h"

#include <vector>

// One frame of an animation sheet: where it lies on the sheet, its registration point
// (the pixel placed at the drawing position), its named points, an optional 2 x 3
// transform applied in the frame's own space, and an alpha.
struct TAnimationFrame
{
    // The first transform value of a frame without a transform.
    static constexpr float kNoTransform = -10000000.0f;

    TString name;
    int x = 0; // the rectangle on the sheet, in sheet pixels
    int y = 0;
    int w = 0;
    int h = 0;
    int regX = 0;
    int regY = 0;
    std::vector<TAnimationAnchor> anchors;
    // a, b, c, d, e, f: the matrix with rows (a, b, 0), (c, d, 0), (e, f, 1).
    float transform[6] = {kNoTransform, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    float alpha = 1.0f;

    bool HasTransform() const { return transform[0] != kNoTransform; }
    TMat3 GetTransform() const
    {
        const float* t = transform;
        return TMat3(t[0], t[1], 0.0f, t[2], t[3], 0.0f, t[4], t[5], 1.0f);
    }
};
