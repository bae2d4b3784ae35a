#pragma once

#include <cstdint>

// A pre-transformed vertex (kind 3): x and y are target pixels as they stand, with no
// viewport offset. 32 bytes, every field 32-bit little-endian.
struct TScreenVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float rhw = 0.0f;
    uint32_t diffuse = 0;  // 0xAARRGGBB
    uint32_t specular = 0; // 0xAARRGGBB; no specular lighting is done
    float u = 0.0f;
    float v = 0.0f;
};

static_assert(sizeof(TScreenVertex) == 32);
