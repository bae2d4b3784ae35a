#pragma once

#include <cstdint>

// One attribute over a primitive as a plane in target pixels: value(x, y) =
// atOrigin + dx * x + dy * y, evaluated at pixel centres (integer coordinates).
struct TAttributePlane
{
    double atOrigin = 0.0;
    double dx = 0.0;
    double dy = 0.0;

    double At(double x, double y) const { return atOrigin + dx * x + dy * y; }
};

// What the rasteriser hands the pixel pipeline for one primitive.
struct TPrimitiveAttributes
{
    TAttributePlane u; // texture coordinates, 0..1 across the texture
    TAttributePlane v;
    // The diffuse colour: one value for the whole primitive, or, unless flatColor, one
    // plane per channel (blue, green, red, alpha; 0..255).
    bool flatColor = true;
    uint32_t color = 0xFFFFFFFFu;
    TAttributePlane channels[4];
};
