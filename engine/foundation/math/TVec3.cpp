#include "engine/foundation/math/TVec3.h"

#include <cmath>

float Dot(const TVec3& a, const TVec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float TVec3::LengthSquared() const
{
    return Dot(*this, *this);
}

float TVec3::Length() const
{
    return std::sqrt(LengthSquared());
}

void TVec3::Normalize()
{
    const float length = Length();
    if (length != 0.0f)
        *this /= length;
}
