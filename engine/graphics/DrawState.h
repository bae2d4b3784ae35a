#pragma once

// The drawing state a parent hands to its children (sprites, entities, texts): where and
// how an image is drawn. Flags: kMirrorX exchanges the left and right texture
// coordinates, kMirrorY the top and bottom ones, kUseSourceRect draws only sourceRect of
// the image, kUseOrigin places origin (inside the image) at the translation point instead
// of the image's centre.

#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TMat3.h"
#include "engine/foundation/math/TRect.h"
#include "engine/foundation/math/TVec2.h"
#include "engine/graphics/TBlendMode.h"

#include <optional>

struct DrawState
{
    enum : int
    {
        kMirrorX = 1,
        kMirrorY = 2,
        kUseSourceRect = 4,
        kUseOrigin = 8,
    };

    // Identity matrix scaled by scale (when it is not 1) and moved to position; tint
    // white; no blend mode of its own (the parent's).
    explicit DrawState(const TVec2& position = TVec2(), float alpha = 1.0f, float scale = 1.0f,
                       int flags = 0);

    // The child's state under its parent: matrices multiplied (the child's applied first),
    // alphas multiplied, mirroring combined (the other flags stay the child's), the
    // parent's blend mode where the child has none. Origin, tint and source rectangle are
    // the child's.
    static DrawState Compose(const DrawState& own, const DrawState& parent);

    TMat3 matrix; // object to screen; row 2 is the translation
    TVec2 origin;
    TColor tint{1.0f, 1.0f, 1.0f, 1.0f};
    float alpha = 1.0f;
    TRect sourceRect;
    int flags = 0;
    std::optional<TBlendMode> blendMode; // empty: the parent's
};
