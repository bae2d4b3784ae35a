#include "engine/graphics/device/TSoftwareDevice.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/device/TRasterizer.h"
#include "engine/graphics/device/TSurface.h"

namespace {

// (x, y, z, 1) x m as doubles: x, y and w of the result.
void TransformPoint(const double m[4][4], double x, double y, double z, double out[3])
{
    const int columns[3] = {0, 1, 3};
    for (int i = 0; i < 3; ++i) {
        const int c = columns[i];
        out[i] = x * m[0][c] + y * m[1][c] + z * m[2][c] + m[3][c];
    }
}

void Multiply(const TMat4& a, const TMat4& b, double out[4][4])
{
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += double(a.At(row, k)) * double(b.At(k, col));
            out[row][col] = sum;
        }
}

void Multiply(const double a[4][4], const TMat4& b, double out[4][4])
{
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += a[row][k] * double(b.At(k, col));
            out[row][col] = sum;
        }
}

int VerticesPerPrimitive(TPrimitiveType type)
{
    switch (type) {
    case TPrimitiveType::PointList:
        return 1;
    case TPrimitiveType::LineList:
    case TPrimitiveType::LineStrip:
        return 2;
    default:
        return 3;
    }
}

} // namespace

void TSoftwareDevice::SetTexture(const TSurface* texture, bool hasAlpha)
{
    mTexture = texture;
    mTextureHasAlpha = hasAlpha;
}

void TSoftwareDevice::Transform(const TLitVertex* vertices, int count)
{
    double worldView[4][4];
    double matrix[4][4];
    Multiply(mState.world, mState.view, worldView);
    Multiply(worldView, mState.projection, matrix);
    const TViewport& vp = mState.viewport;
    mVertices.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const TLitVertex& in = vertices[i];
        TRasterVertex& out = mVertices[static_cast<size_t>(i)];
        double p[3];
        TransformPoint(matrix, in.x, in.y, in.z, p);
        out.valid = p[2] != 0.0;
        if (out.valid) {
            out.x = static_cast<float>(vp.x + (p[0] / p[2] + 1.0) * vp.width / 2.0);
            out.y = static_cast<float>(vp.y + (1.0 - p[1] / p[2]) * vp.height / 2.0);
        }
        out.diffuse = in.diffuse;
        out.u = in.u;
        out.v = in.v;
    }
}

void TSoftwareDevice::Transform(const TScreenVertex* vertices, int count)
{
    mVertices.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const TScreenVertex& in = vertices[i];
        mVertices[static_cast<size_t>(i)] = {in.x, in.y, in.diffuse, in.u, in.v, true};
    }
}

void TSoftwareDevice::DrawPrimitive(TPrimitiveType type, const TLitVertex* vertices, int count)
{
    DrawVertices(type, vertices, count, nullptr, count);
}

void TSoftwareDevice::DrawPrimitive(TPrimitiveType type, const TScreenVertex* vertices, int count)
{
    DrawVertices(type, vertices, count, nullptr, count);
}

void TSoftwareDevice::DrawIndexedPrimitive(TPrimitiveType type, const TLitVertex* vertices,
                                           int vertexCount, const uint16_t* indices, int indexCount)
{
    if (indices != nullptr)
        DrawVertices(type, vertices, vertexCount, indices, indexCount);
}

void TSoftwareDevice::DrawIndexedPrimitive(TPrimitiveType type, const TScreenVertex* vertices,
                                           int vertexCount, const uint16_t* indices, int indexCount)
{
    if (indices != nullptr)
        DrawVertices(type, vertices, vertexCount, indices, indexCount);
}

template <class TVertex>
void TSoftwareDevice::DrawVertices(TPrimitiveType type, const TVertex* vertices, int vertexCount,
                                   const uint16_t* indices, int count)
{
    if (vertices == nullptr || vertexCount <= 0 || count <= 0)
        return;
    Transform(vertices, vertexCount);
    Draw(type, indices, count);
}

void TSoftwareDevice::Draw(TPrimitiveType type, const uint16_t* indices, int count)
{
    if (mTarget == nullptr || count < VerticesPerPrimitive(type))
        return;
    const TViewport& vp = mState.viewport;
    TRect scissor;
    scissor.Intersect(TRect(vp.x, vp.y, vp.x + vp.width, vp.y + vp.height), mTarget->GetBounds());
    if (scissor.right <= scissor.left || scissor.bottom <= scissor.top)
        return;
    mSampler.Bind(mTexture, mTextureHasAlpha);
    if (!mPipeline.Compile(mState, mSampler, *mTarget))
        return;
    TRasterizer rasterizer(mPipeline, scissor, mState.cullMode, mState.shadeMode);
    Assemble(rasterizer, type, indices, count);
}

bool TSoftwareDevice::Fetch(const uint16_t* indices, int position, const TRasterVertex*& vertex)
{
    const size_t index = indices != nullptr ? indices[position] : static_cast<size_t>(position);
    if (index < mVertices.size()) {
        vertex = &mVertices[index];
        return true;
    }
    if (!mReportedBadIndex) {
        TraceLog("device: index %zu beyond %zu vertices; its primitive is skipped", index,
                 mVertices.size());
        mReportedBadIndex = true;
    }
    return false;
}

void TSoftwareDevice::Assemble(TRasterizer& rasterizer, TPrimitiveType type,
                               const uint16_t* indices, int count)
{
    const TRasterVertex* a = nullptr;
    const TRasterVertex* b = nullptr;
    const TRasterVertex* c = nullptr;
    const TRasterVertex* d = nullptr;
    switch (type) {
    case TPrimitiveType::PointList:
        for (int i = 0; i < count; ++i)
            if (Fetch(indices, i, a))
                rasterizer.DrawPoint(*a);
        return;
    case TPrimitiveType::LineList:
        for (int i = 0; i + 1 < count; i += 2)
            if (Fetch(indices, i, a) && Fetch(indices, i + 1, b))
                rasterizer.DrawLine(*a, *b);
        return;
    case TPrimitiveType::LineStrip:
        for (int i = 0; i + 1 < count; ++i)
            if (Fetch(indices, i, a) && Fetch(indices, i + 1, b))
                rasterizer.DrawLine(*a, *b);
        return;
    case TPrimitiveType::TriangleList:
        for (int i = 0; i + 2 < count; i += 3)
            if (Fetch(indices, i, a) && Fetch(indices, i + 1, b) && Fetch(indices, i + 2, c))
                rasterizer.DrawTriangle(*a, *b, *c);
        return;
    case TPrimitiveType::TriangleStrip:
        // Every other triangle turns the other way; its last two vertices are swapped to
        // keep one orientation (and its first vertex first).
        for (int i = 0; i + 2 < count; ++i)
            if (Fetch(indices, i, a) && Fetch(indices, i + 1, b) && Fetch(indices, i + 2, c)) {
                if (i % 2 == 0)
                    rasterizer.DrawTriangle(*a, *b, *c);
                else
                    rasterizer.DrawTriangle(*a, *c, *b);
            }
        return;
    case TPrimitiveType::TriangleFan:
        if (count == 4 && Fetch(indices, 0, a) && Fetch(indices, 1, b) && Fetch(indices, 2, c) &&
            Fetch(indices, 3, d)) {
            rasterizer.DrawQuad(*a, *b, *c, *d);
            return;
        }
        for (int i = 1; i + 1 < count; ++i)
            if (Fetch(indices, 0, a) && Fetch(indices, i, b) && Fetch(indices, i + 1, c))
                rasterizer.DrawTriangle(*a, *b, *c);
        return;
    }
}
