#include "engine/graphics/device/TSoftwareDevice.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/device/TRasterizer.h"
#include "engine/graphics/device/TSurface.h"

#include <algorithm>

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

void ToDoubles(const TMat4& m, double out[4][4])
{
    for (int row = 0; row < 4; ++row) {
        const TVec4& r = m.Row(row);
        out[row][0] = r.x;
        out[row][1] = r.y;
        out[row][2] = r.z;
        out[row][3] = r.w;
    }
}

void Multiply(const double a[4][4], const double b[4][4], double out[4][4])
{
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            out[row][col] = a[row][0] * b[0][col] + a[row][1] * b[1][col] + a[row][2] * b[2][col] +
                            a[row][3] * b[3][col];
}

bool SameMatrix(const TMat4& a, const TMat4& b)
{
    for (int row = 0; row < 4; ++row) {
        const TVec4& x = a.Row(row);
        const TVec4& y = b.Row(row);
        if (x.x != y.x || x.y != y.y || x.z != y.z || x.w != y.w)
            return false;
    }
    return true;
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
    // The product is kept while the three matrices stay (2D drawing sets the same
    // projection before every draw).
    if (!mHasTransform || !SameMatrix(mWorld, mState.world) || !SameMatrix(mView, mState.view) ||
        !SameMatrix(mProjection, mState.projection)) {
        double world[4][4], view[4][4], projection[4][4], worldView[4][4];
        ToDoubles(mState.world, world);
        ToDoubles(mState.view, view);
        ToDoubles(mState.projection, projection);
        Multiply(world, view, worldView);
        Multiply(worldView, projection, mTransform);
        mWorld = mState.world;
        mView = mState.view;
        mProjection = mState.projection;
        mHasTransform = true;
    }
    const double(&matrix)[4][4] = mTransform;
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

bool TSoftwareDevice::Prepare(TRect& scissor)
{
    if (mTarget == nullptr)
        return false;
    const TViewport& vp = mState.viewport;
    scissor.Intersect(TRect(vp.x, vp.y, vp.x + vp.width, vp.y + vp.height), mTarget->GetBounds());
    if (scissor.right <= scissor.left || scissor.bottom <= scissor.top)
        return false;
    mSampler.Bind(mTexture, mTextureHasAlpha);
    return mPipeline.Compile(mState, mSampler, *mTarget);
}

void TSoftwareDevice::Draw(TPrimitiveType type, const uint16_t* indices, int count)
{
    TRect scissor;
    if (count < VerticesPerPrimitive(type) || !Prepare(scissor))
        return;
    TRasterizer rasterizer(mPipeline, scissor, mState.cullMode, mState.shadeMode);
    Assemble(rasterizer, type, indices, count);
}

void TSoftwareDevice::DrawSpans(const TDeviceSpan* spans, int count)
{
    TRect scissor;
    if (spans == nullptr || count <= 0 || !Prepare(scissor))
        return;
    // Where flat colours reach the blend as they are, spans that continue one another
    // along a row are blended as one run of colours.
    constexpr int kRun = 64;
    uint32_t run[kRun];
    int runLength = 0;
    int runRow = 0;
    int runX = 0;
    // The first colour makes the pipeline ready for runs (their masks do not depend on
    // the colour); after that only spans drawn on their own need theirs.
    mPipeline.SetFlatColor(spans[0].colour);
    uint32_t colour = spans[0].colour;
    const bool runs = mPipeline.CanDrawColors();
    // Where a clear pixel leaves the target as it is, a run also takes the gaps between
    // the spans of its row (the inside of an "o") and is padded to whole steps of eight
    // pixels, which the blend kernels take without masked loads and stores: fewer and
    // cheaper calls for the short spans of text.
    const bool bridges = mPipeline.LeavesClearPixels();
    const auto flush = [&] {
        if (runLength == 0)
            return;
        if (bridges)
            for (const int padded = std::min((runLength + 7) & ~7, scissor.right - runX);
                 runLength < padded;)
                run[runLength++] = 0;
        mPipeline.DrawColors(runRow, runX, run, runLength);
        runLength = 0;
    };
    for (int i = 0; i < count; ++i) {
        const TDeviceSpan& span = spans[i];
        if (span.row < scissor.top || span.row >= scissor.bottom)
            continue;
        const int x0 = std::max(span.x0, scissor.left);
        const int x1 = std::min(span.x1, scissor.right);
        if (x0 >= x1)
            continue;
        if (!runs || x1 - x0 > kRun) {
            flush();
            if (span.colour != colour) {
                mPipeline.SetFlatColor(span.colour);
                colour = span.colour;
            }
            mPipeline.DrawSpan(span.row, x0, x1);
            continue;
        }
        const int runEnd = runX + runLength;
        const bool joins =
            span.row == runRow && x1 - runX <= kRun && (x0 == runEnd || (bridges && x0 > runEnd));
        if (runLength > 0 && !joins)
            flush();
        if (runLength == 0) {
            runRow = span.row;
            runX = x0;
        }
        while (runX + runLength < x0)
            run[runLength++] = 0;
        for (int x = x0; x < x1; ++x)
            run[runLength++] = span.colour;
    }
    flush();
}

bool TSoftwareDevice::Fetch(const uint16_t* indices, int position, const TRasterVertex*& vertex)
{
    const size_t index = indices != nullptr ? indices[position] : static_cast<size_t>(position);
    if (index < mVertices.size()) {
        vertex = &mVertices[index];
        return true;
    }
    if (!mReportedBadIndex) {
        TraceLog("graphics: device: index %zu beyond %zu vertices; its primitive is skipped", index,
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
        for (int i = 0; i + 2 < count; i += 3) {
            const TRasterVertex* first[3];
            if (!Fetch(indices, i, first[0]) || !Fetch(indices, i + 1, first[1]) ||
                !Fetch(indices, i + 2, first[2]))
                continue;
            const TRasterVertex* second[3];
            if (i + 5 < count && Fetch(indices, i + 3, second[0]) &&
                Fetch(indices, i + 4, second[1]) && Fetch(indices, i + 5, second[2])) {
                rasterizer.DrawTrianglePair(first, second);
                i += 3;
                continue;
            }
            rasterizer.DrawTriangle(*first[0], *first[1], *first[2]);
        }
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
