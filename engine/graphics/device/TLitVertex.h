#pragma once

#include <cstdint>

// An untransformed vertex (kind 2): the device takes (x, y, z, 1) through world, view
// and projection and the viewport. 32 bytes, every field 32-bit little-endian.
struct TLitVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float reserved = 0.0f;
    uint32_t diffuse = 0;  // 0xAARRGGBB
    uint32_t specular = 0; // 0xAARRGGBB; no specular lighting is done
    float u = 0.0f;
    float v = 0.0f;
};

static_assert(sizeof(TLitVertex) == 32);
