#pragma once

// The software device: a rasteriser standing where a 3D device stood under the display
// handler. It draws into one 32-bit surface (the render target: the back buffer) with
// the states of its state block, which keep their values until they are set again.
//
// Vertices: untransformed ones (TLitVertex) go through world x view x projection
// (row vectors), are divided by w and mapped into the viewport (X = x + (ndcX + 1) *
// width / 2, Y = y + (1 - ndcY) * height / 2); pre-transformed ones (TScreenVertex) are
// target pixels as they stand. Either kind is cut to the viewport (itself cut to the
// target); an empty viewport draws nothing. Pixel centres lie at integer coordinates.
//
// Primitives: see TRasterizer; shading: TPixelPipeline, TTexelSampler and TSpanBlender.
// Indexed primitives with an index beyond the vertices are skipped (logged once per
// device). Main thread only.

#include "engine/foundation/math/TRect.h"
#include "engine/graphics/device/TDeviceSpan.h"
#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TLitVertex.h"
#include "engine/graphics/device/TPixelPipeline.h"
#include "engine/graphics/device/TPrimitiveType.h"
#include "engine/graphics/device/TRasterVertex.h"
#include "engine/graphics/device/TScreenVertex.h"
#include "engine/graphics/device/TTexelSampler.h"

#include <cstdint>
#include <vector>

class TRasterizer;
class TSurface;

class TSoftwareDevice
{
public:
    TDeviceState& State() { return mState; }
    const TDeviceState& State() const { return mState; }

    // The surface drawn into; null draws nothing. The device keeps the pointer.
    void SetRenderTarget(TSurface* target) { mTarget = target; }
    TSurface* GetRenderTarget() const { return mTarget; }

    // Texture stage 0. Null unbinds: the texture then reads as opaque white. Without
    // hasAlpha every texel reads alpha 255. The device keeps the pointer.
    void SetTexture(const TSurface* texture, bool hasAlpha);
    const TSurface* GetTexture() const { return mTexture; }

    void DrawPrimitive(TPrimitiveType type, const TLitVertex* vertices, int count);
    void DrawPrimitive(TPrimitiveType type, const TScreenVertex* vertices, int count);
    void DrawIndexedPrimitive(TPrimitiveType type, const TLitVertex* vertices, int vertexCount,
                              const uint16_t* indices, int indexCount);
    void DrawIndexedPrimitive(TPrimitiveType type, const TScreenVertex* vertices, int vertexCount,
                              const uint16_t* indices, int indexCount);
    // Spans of one colour each in target pixels, cut to the viewport: the same pixels and
    // values as a line list of pre-transformed vertices (x0, row) - (x1, row) in the
    // span's colour with texture coordinates 0, without vertices (text draws so).
    void DrawSpans(const TDeviceSpan* spans, int count);

private:
    template <class TVertex>
    void DrawVertices(TPrimitiveType type, const TVertex* vertices, int vertexCount,
                      const uint16_t* indices, int count);
    void Transform(const TLitVertex* vertices, int count);
    void Transform(const TScreenVertex* vertices, int count);
    // Draws mVertices, taken in index order (or in order when indices is null).
    // The scissor (viewport cut to the target), the sampler and the pipeline for a draw;
    // false when nothing can be drawn.
    bool Prepare(TRect& scissor);
    void Draw(TPrimitiveType type, const uint16_t* indices, int count);
    bool Fetch(const uint16_t* indices, int position, const TRasterVertex*& vertex);
    void Assemble(TRasterizer& rasterizer, TPrimitiveType type, const uint16_t* indices, int count);

    TDeviceState mState;
    TSurface* mTarget = nullptr;
    const TSurface* mTexture = nullptr;
    bool mTextureHasAlpha = false;
    TTexelSampler mSampler;
    TPixelPipeline mPipeline;
    std::vector<TRasterVertex> mVertices;
    // world x view x projection, for the matrices it was made of.
    bool mHasTransform = false;
    TMat4 mWorld;
    TMat4 mView;
    TMat4 mProjection;
    double mTransform[4][4] = {};
    bool mReportedBadIndex = false;
};
