#include "engine/foundation/math/TMat4.h"

#include <cmath>

namespace {

float& Component(TVec4& v, int index)
{
    return index == 0 ? v.x : index == 1 ? v.y : index == 2 ? v.z : v.w;
}

float Component(const TVec4& v, int index)
{
    return index == 0 ? v.x : index == 1 ? v.y : index == 2 ? v.z : v.w;
}

// The shift of the vanishing point for a centre coordinate c in -1..1; at the edge (where
// the division would be by 0) it is -10000 whatever the sign.
float CentreShift(float c, float sign)
{
    const float edge = 1.0f - std::fabs(c);
    return edge == 0.0f ? -10000.0f : sign * c / edge;
}

} // namespace

TMat4::TMat4()
    : mRows{TVec4(1.0f, 0.0f, 0.0f, 0.0f), TVec4(0.0f, 1.0f, 0.0f, 0.0f),
            TVec4(0.0f, 0.0f, 1.0f, 0.0f), TVec4(0.0f, 0.0f, 0.0f, 1.0f)}
{
}

float& TMat4::At(int row, int col)
{
    return Component(mRows[row], col);
}

float TMat4::At(int row, int col) const
{
    return Component(mRows[row], col);
}

void TMat4::SetPerspective(float zNear, float zFar, float fov, float aspect, const TVec2& centre)
{
    const float cot = std::cos(fov / 2.0f) / std::sin(fov / 2.0f);
    for (TVec4& row : mRows)
        row = TVec4();
    At(0, 0) = cot * aspect;
    At(1, 1) = cot;
    At(2, 0) = CentreShift(centre.x, -1.0f);
    At(2, 1) = CentreShift(centre.y, 1.0f);
    At(2, 2) = zFar / (zFar - zNear);
    At(2, 3) = 1.0f;
    At(3, 2) = -zNear * zFar / (zFar - zNear);
}
