#pragma once

// A software device drawing into a small surface of its own, with the states most
// pixel tests start from: the whole surface as viewport, no culling, no alpha test,
// and blending ONE + ONE so that every draw of 0x01010101 counts coverage.

#include "engine/graphics/device/TSoftwareDevice.h"
#include "engine/graphics/device/TSurface.h"

#include <cstdint>
#include <string>
#include <vector>

class TDeviceFixture
{
public:
    TDeviceFixture(int width, int height) : target(width, height)
    {
        device.SetRenderTarget(&target);
        TDeviceState& state = device.State();
        state.viewport = {0, 0, width, height, 0.0f, 1.0f};
        state.cullMode = TCull::None;
        state.alphaTestEnable = false;
        state.srcBlend = TBlend::One;
        state.destBlend = TBlend::One;
        state.alphaBlendEnable = true;
    }

    void DrawScreen(TPrimitiveType type, const std::vector<TScreenVertex>& vertices)
    {
        device.DrawPrimitive(type, vertices.data(), static_cast<int>(vertices.size()));
    }

    // The surface as text, one character per pixel: '.' for 0, else '0' + the blue byte
    // (coverage counts), for readable failures.
    std::string Coverage() const
    {
        std::string text;
        for (int y = 0; y < target.GetHeight(); ++y) {
            for (int x = 0; x < target.GetWidth(); ++x) {
                const uint32_t blue = target.At(x, y) & 0xFF;
                text += blue == 0 ? '.' : static_cast<char>('0' + std::min<uint32_t>(blue, 9));
            }
            text += '\n';
        }
        return text;
    }

    TSurface target;
    TSoftwareDevice device;
};

inline TScreenVertex Screen(float x, float y, uint32_t diffuse = 0x01010101u, float u = 0.0f,
                            float v = 0.0f)
{
    TScreenVertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.rhw = 1.0f;
    vertex.diffuse = diffuse;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

// The quad (left, top) - (right, bottom) as a triangle fan with texture coordinates
// 0..1 across it.
inline std::vector<TScreenVertex> ScreenQuad(float left, float top, float right, float bottom,
                                             uint32_t diffuse = 0x01010101u)
{
    return {Screen(left, top, diffuse, 0, 0), Screen(right, top, diffuse, 1, 0),
            Screen(right, bottom, diffuse, 1, 1), Screen(left, bottom, diffuse, 0, 1)};
}
