#pragma once

#include <cstdint>

// A vertex in target pixels, as the rasteriser takes it (pixel centres are at integer
// coordinates).
struct TRasterVertex
{
    float x = 0.0f;
    float y = 0.0f;
    uint32_t diffuse = 0;
    float u = 0.0f;
    float v = 0.0f;
    bool valid = true; // false when the transform produced no usable position
};
