#include "engine/graphics/BuildQuad.h"

#include <cstdint>

namespace {

// value * 255 truncated, value first clamped to 0..1 (NaN counts as 0).
uint32_t ToByte(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<uint32_t>(value * 255.0f);
}

} // namespace

void BuildQuad(const TVec2& offset, TLitVertex out[4], TVec2 corners[4],
               const TTexCoordRect& texCoords, const TMat3& matrix, float alpha,
               const TColor& color)
{
    const uint32_t diffuse =
        (ToByte(alpha) << 24) | (ToByte(color.r) << 16) | (ToByte(color.g) << 8) | ToByte(color.b);
    const float us[4] = {texCoords.left, texCoords.right, texCoords.right, texCoords.left};
    const float vs[4] = {texCoords.top, texCoords.top, texCoords.bottom, texCoords.bottom};
    for (int i = 0; i < 4; ++i) {
        corners[i] = corners[i] * matrix;
        TLitVertex& vertex = out[i];
        vertex = TLitVertex();
        vertex.x = corners[i].x + offset.x;
        vertex.y = corners[i].y + offset.y;
        vertex.z = 0.1f;
        vertex.reserved = 0.5f;
        vertex.diffuse = diffuse;
        vertex.specular = 0xFF000000u;
        vertex.u = us[i];
        vertex.v = vs[i];
    }
}
