#include "engine/graphics/DrawState.h"

DrawState::DrawState(const TVec2& position, float alpha_, float scale, int flags_)
    : alpha(alpha_), flags(flags_)
{
    if (scale != 1.0f)
        matrix.ScaleUniform(scale);
    matrix.Row(2) = TVec3(position.x, position.y, 1.0f);
}

DrawState DrawState::Compose(const DrawState& own, const DrawState& parent)
{
    DrawState result = own;
    result.matrix = own.matrix * parent.matrix;
    result.alpha = own.alpha * parent.alpha;
    result.flags = own.flags ^ (parent.flags & (kMirrorX | kMirrorY));
    if (!result.blendMode)
        result.blendMode = parent.blendMode;
    return result;
}
