#include "engine/foundation/math/TMat3.h"

#include <cmath>

namespace {

float& Component(TVec3& v, int index)
{
    return index == 0 ? v.x : index == 1 ? v.y : v.z;
}

float Component(const TVec3& v, int index)
{
    return index == 0 ? v.x : index == 1 ? v.y : v.z;
}

TVec3 Column(const TMat3& m, int col)
{
    return TVec3(m.At(0, col), m.At(1, col), m.At(2, col));
}

TMat3 Diagonal(float sx, float sy)
{
    return TMat3(sx, 0.0f, 0.0f, 0.0f, sy, 0.0f, 0.0f, 0.0f, 1.0f);
}

} // namespace

TMat3::TMat3() : TMat3(1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f) {}

TMat3::TMat3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
             float m22)
    : mRows{TVec3(m00, m01, m02), TVec3(m10, m11, m12), TVec3(m20, m21, m22)}
{
}

float& TMat3::At(int row, int col)
{
    return Component(mRows[row], col);
}

float TMat3::At(int row, int col) const
{
    return Component(mRows[row], col);
}

TMat3& TMat3::operator*=(const TMat3& m)
{
    *this = *this * m;
    return *this;
}

TMat3 TMat3::Rotation(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return TMat3(c, s, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 1.0f);
}

void TMat3::Rotate(float angle)
{
    *this = MultiplyLinear2x2(*this, Rotation(angle));
}

void TMat3::Scale(float sx, float sy)
{
    *this = MultiplyLinear2x2(*this, Diagonal(sx, sy));
}

void TMat3::ScaleUniform(float s)
{
    Scale(s, s);
}

TVec3 operator*(const TVec3& v, const TMat3& m)
{
    return TVec3(Dot(v, Column(m, 0)), Dot(v, Column(m, 1)), Dot(v, Column(m, 2)));
}

TVec2 operator*(const TVec2& p, const TMat3& m)
{
    return TVec2(p.x * m.At(0, 0) + p.y * m.At(1, 0) + m.At(2, 0),
                 p.x * m.At(0, 1) + p.y * m.At(1, 1) + m.At(2, 1));
}

TMat3 operator*(const TMat3& a, const TMat3& b)
{
    TMat3 out;
    for (int r = 0; r < 3; ++r)
        out.Row(r) = a.Row(r) * b;
    return out;
}

TMat3 MultiplyLinear2x2(const TMat3& a, const TMat3& b)
{
    TMat3 out;
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j)
            out.At(i, j) = a.At(i, 0) * b.At(0, j) + a.At(i, 1) * b.At(1, j);
        out.At(i, 2) = 0.0f;
    }
    out.Row(2) = a.Row(2);
    return out;
}
