#pragma once

// A 2-component float vector: positions and sizes. A plain value; nothing allocates.

struct TVec3;

struct TVec2
{
    float x = 0.0f;
    float y = 0.0f;

    TVec2() = default;
    TVec2(float ax, float ay) : x(ax), y(ay) {}
    // The x and y of v; z is dropped.
    TVec2(const TVec3& v);

    TVec2& operator+=(const TVec2& v)
    {
        x += v.x;
        y += v.y;
        return *this;
    }
    TVec2& operator-=(const TVec2& v)
    {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    TVec2& operator*=(float s)
    {
        x *= s;
        y *= s;
        return *this;
    }
    TVec2 operator-() const { return TVec2(-x, -y); }
};

inline TVec2 operator+(TVec2 a, const TVec2& b)
{
    return a += b;
}

inline TVec2 operator-(TVec2 a, const TVec2& b)
{
    return a -= b;
}

inline TVec2 operator*(TVec2 v, float s)
{
    return v *= s;
}

// Exact comparison of both floats.
inline bool operator==(const TVec2& a, const TVec2& b)
{
    return a.x == b.x && a.y == b.y;
}
