#pragma once

// A 3-component float vector: the rows of TMat3, velocities, points (x, y, 1).

#include "engine/foundation/math/TVec2.h"

struct TVec3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    TVec3() = default;
    TVec3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
    TVec3(const TVec2& v, float az) : x(v.x), y(v.y), z(az) {}

    TVec3& operator+=(const TVec3& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    TVec3& operator-=(const TVec3& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    TVec3& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    TVec3& operator/=(float s)
    {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }

    float LengthSquared() const;
    float Length() const;
    // Scales the vector to length 1; a vector of length 0 stays as it is.
    void Normalize();
};

inline TVec3 operator+(TVec3 a, const TVec3& b)
{
    return a += b;
}

inline TVec3 operator-(TVec3 a, const TVec3& b)
{
    return a -= b;
}

inline TVec3 operator*(TVec3 v, float s)
{
    return v *= s;
}

// Exact comparison of all three floats.
inline bool operator==(const TVec3& a, const TVec3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

float Dot(const TVec3& a, const TVec3& b);
