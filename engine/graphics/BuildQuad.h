#pragma once

// The four vertices of a textured or coloured quad, as textures and rectangle fills
// draw them: one triangle fan of lit vertices.

#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TMat3.h"
#include "engine/foundation/math/TVec2.h"
#include "engine/graphics/device/TLitVertex.h"

// Texture coordinates of a quad's corners: u from left to right, v from top to bottom.
struct TTexCoordRect
{
    float left = 0.0f;
    float top = 0.0f;
    float right = 1.0f;
    float bottom = 1.0f;
};

// Fills out[0..3] from corners[0..3] (top-left, top-right, bottom-right, bottom-left):
// each corner goes through matrix (as the row vector (x, y, 1)) and is stored back into
// corners; the vertex is at that point + offset, z 0.1, with the corner's texture
// coordinates (corner 0 (left, top), 1 (right, top), 2 (right, bottom), 3 (left,
// bottom)). Diffuse: alpha * 255 and each colour channel * 255, each first clamped to
// 0..1 and then truncated; specular opaque black.
void BuildQuad(const TVec2& offset, TLitVertex out[4], TVec2 corners[4],
               const TTexCoordRect& texCoords, const TMat3& matrix, float alpha,
               const TColor& color);
