#pragma once

// A 4-component float vector: the rows of TMat4.

struct TVec4
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    TVec4() = default;
    TVec4(float ax, float ay, float az, float aw) : x(ax), y(ay), z(az), w(aw) {}
};
