#pragma once

// A colour of four float channels, 0 to 1 each.

struct TColor
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    TColor() = default;
    TColor(float ar, float ag, float ab, float aa) : r(ar), g(ag), b(ab), a(aa) {}

    // Each channel = value / 255, the ints read as unsigned.
    void SetFromBytes(int red, int green, int blue, int alpha);
};

// True when any channel differs (exact comparison; NaN differs from everything).
bool operator!=(const TColor& x, const TColor& y);
