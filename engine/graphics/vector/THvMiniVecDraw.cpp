#include "engine/graphics/vector/THvMiniVecDraw.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/math/TColor32.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"

#include <algorithm>
#include <cmath>

namespace {

std::unique_ptr<THvMiniVecDraw> sInstance;

// Positions beyond these are far off any surface; keeping them there keeps the integer
// arithmetic of spans in range.
constexpr float kFarPixels = 1.0e7f;
constexpr int kFarQuarters = 1 << 26;

constexpr int kCalibrationTests = 128;
constexpr int kCalibrationWidth = 800;
constexpr int kCalibrationHeight = 512;

float Tame(float value)
{
    return std::isfinite(value) ? std::clamp(value, -kFarPixels, kFarPixels) : 0.0f;
}

bool IsFinite(const TScanParams& p)
{
    return std::isfinite(p.xScale) && std::isfinite(p.yScale) && std::isfinite(p.cosine) &&
           std::isfinite(p.sine) && std::isfinite(p.outlineWidth) && std::isfinite(p.boldWidth);
}

} // namespace

THvMiniVecDraw& THvMiniVecDraw::Get()
{
    if (!sInstance)
        sInstance.reset(new THvMiniVecDraw());
    return *sInstance;
}

void THvMiniVecDraw::Destroy()
{
    sInstance.reset();
}

THvMiniVecDraw::THvMiniVecDraw() = default;

THvMiniVecDraw::~THvMiniVecDraw()
{
    if (mTarget && mTargetPixels != nullptr)
        mTarget->Unlock();
}

void THvMiniVecDraw::SetScale(float x, float y)
{
    mParams.xScale = x;
    mParams.yScale = y;
}

void THvMiniVecDraw::SetRotation(float cosine, float sine)
{
    mParams.cosine = cosine;
    mParams.sine = sine;
}

void THvMiniVecDraw::SetStrokeWidths(float outline, float bold)
{
    mParams.outlineWidth = outline;
    mParams.boldWidth = bold;
}

void THvMiniVecDraw::SetItalic(bool italic)
{
    mParams.italic = italic;
}

void THvMiniVecDraw::SetTargetModes(bool copy, bool blend)
{
    mCopyMode = copy;
    mBlendMode = blend;
}

void THvMiniVecDraw::SetSlotColor(int slot, const TColor& colour, float alphaFactor)
{
    const TColor32 packed(colour);
    const float scaled = static_cast<float>(packed.GetAlpha()) * alphaFactor;
    // An alpha factor above 1 (eased animations overshoot) saturates instead of wrapping.
    const uint32_t alpha =
        std::isfinite(scaled) ? static_cast<uint32_t>(std::clamp(scaled, 0.0f, 255.0f)) : 0;
    const uint32_t rgb = packed.GetValue() & 0x00FFFFFFu;
    auto& table = mTables[static_cast<size_t>(TOutlineScanner::BufferOfSlot(slot & 0xFF))];
    for (uint32_t k = 0; k < 32; ++k) {
        const uint32_t weight = k < 16 ? 16 * (k + 1) : 255;
        table[k] = (alpha * weight / 256) << 24 | rgb;
    }
}

uint32_t THvMiniVecDraw::GetBufferColor(int buffer, int coverageIndex) const
{
    if (buffer < 0 || buffer >= TCoverageRows::kBuffers || coverageIndex < 0 || coverageIndex >= 32)
        return 0;
    return mTables[static_cast<size_t>(buffer)][static_cast<size_t>(coverageIndex)];
}

bool THvMiniVecDraw::Begin(float x, float y, std::shared_ptr<TTexture> target)
{
    x = Tame(x);
    y = Tame(y);
    mOriginX = static_cast<int>(x);
    mOriginY = static_cast<int>(y);
    mPhaseX = static_cast<int>(4.0f * x) % 4;
    mPhaseY = static_cast<int>(4.0f * y) % 4;
    if (!target)
        TRenderer::Get()->SetTexture(nullptr);
    if (target == mTarget)
        return !mTarget || mTargetPixels != nullptr;
    Flush();
    mTarget = std::move(target);
    if (!mTarget)
        return true;
    if (!mTarget->Lock(mTargetPixels, mTargetPitch)) {
        mTargetPixels = nullptr;
        return false;
    }
    mTargetWidth = mTarget->GetWidth();
    mTargetHeight = mTarget->GetHeight();
    return true;
}

void THvMiniVecDraw::DrawGlyph(const uint8_t* outline, size_t size, int x, int y)
{
    if (!IsFinite(mParams))
        return;
    x = std::clamp(x, -kFarQuarters, kFarQuarters) + mPhaseX;
    y = std::clamp(y, -kFarQuarters, kFarQuarters) + mPhaseY;
    mGlyphColumn = (x >> 2) + mOriginX; // >> rounds toward minus infinity
    mGlyphRow = (y >> 2) + mOriginY;
    TSpanCache::TKey key;
    key.outline = outline;
    key.size = outline != nullptr ? size : 0;
    key.phaseX = x & 3;
    key.phaseY = y & 3;
    key.params = mParams;
    if (const TSpanRecord* records = mCache.Find(key)) {
        Replay(records);
        return;
    }
    mCache.Begin(key);
    mRecording = true;
    mScanner.Scan(key.outline, key.size, mParams, key.phaseX, key.phaseY, *this);
    mRecording = false;
    mCache.End();
}

void THvMiniVecDraw::OnSpan(const TSpanRecord& span)
{
    if (mRecording)
        mCache.Append(span);
    Output(span);
}

void THvMiniVecDraw::OnDefineColor(int slot, uint8_t red, uint8_t green, uint8_t blue)
{
    TColor colour;
    colour.SetFromBytes(red, green, blue, 255);
    SetSlotColor(slot, colour, 1.0f);
}

void THvMiniVecDraw::Replay(const TSpanRecord* records)
{
    // Warm text is all replays: the records go into the batch in one tight loop up to its
    // room, not by a call and a size check per span. A batch the loop fills is sent at
    // once, also when the glyph's last record took its last slot.
    for (;;) {
        TDeviceSpan* out = mBatch.data() + mBatchSize;
        const TDeviceSpan* const end = mBatch.data() + kBatchSpans;
        for (; out < end && records->coverage != TSpanRecord::kEndOfGlyph; ++records, ++out)
            *out = ToDeviceSpan(*records);
        mBatchSize = static_cast<int>(out - mBatch.data());
        if (mBatchSize == kBatchSpans)
            FlushBatch();
        if (records->coverage == TSpanRecord::kEndOfGlyph)
            return;
    }
}

void THvMiniVecDraw::Output(const TSpanRecord& span)
{
    mBatch[static_cast<size_t>(mBatchSize++)] = ToDeviceSpan(span);
    if (mBatchSize == kBatchSpans)
        FlushBatch();
}

void THvMiniVecDraw::Flush()
{
    FlushBatch();
    if (!mTarget)
        return;
    if (mTargetPixels != nullptr)
        mTarget->Unlock();
    mTargetPixels = nullptr;
    mTarget.reset();
    TGraphicsHost::Get().RequestFrame();
}

void THvMiniVecDraw::FlushBatch()
{
    if (mBatchSize == 0)
        return;
    if (mTarget)
        WriteBatchToTarget();
    else
        DrawBatchOnScreen();
    mBatchSize = 0;
}

void THvMiniVecDraw::DrawBatchOnScreen()
{
    TRenderer::Get()->DrawSpans(mBatch.data(), mBatchSize);
}

void THvMiniVecDraw::DrawBatchAsLines()
{
    TScreenVertex vertices[kBatchVertices];
    int count = 0;
    for (const TDeviceSpan& span : Batch()) {
        if (count + 2 > mBatchVertices) {
            TRenderer::Get()->DrawVertices(TPrimitiveType::LineList, TVertexArray(vertices, count));
            count = 0;
        }
        const float y = static_cast<float>(span.row) + mOffsets.vertical;
        const float xs[2] = {static_cast<float>(span.x0) + mOffsets.start,
                             static_cast<float>(span.x1) + mOffsets.end};
        for (const float x : xs) {
            TScreenVertex& vertex = vertices[count++];
            vertex.x = x;
            vertex.y = y;
            vertex.z = 0.1f;
            vertex.rhw = 0.5f;
            vertex.diffuse = span.colour;
        }
    }
    TRenderer::Get()->DrawVertices(TPrimitiveType::LineList, TVertexArray(vertices, count));
}

void THvMiniVecDraw::WriteBatchToTarget()
{
    if (mTargetPixels == nullptr)
        return;
    const TTargetWrite mode = mCopyMode    ? TTargetWrite::Copy
                              : mBlendMode ? TTargetWrite::Blend
                                           : TTargetWrite::Normal;
    for (const TDeviceSpan& span : Batch()) {
        if (span.row < 0 || span.row >= mTargetHeight || span.x0 >= mTargetWidth)
            continue;
        const int x0 = std::max(span.x0, 0);
        const int x1 = std::min(span.x1, mTargetWidth);
        if (x1 > x0)
            WriteTargetSpan(mTargetPixels + static_cast<ptrdiff_t>(span.row) * mTargetPitch + x0,
                            x1 - x0, span.colour, mode);
    }
}

THvMiniVecDraw::TSpanOffsets THvMiniVecDraw::OffsetsOfTest(int test)
{
    TSpanOffsets offsets;
    offsets.start = static_cast<float>((test / 8) % 4) / 4.0f - 1.0f;
    offsets.end = static_cast<float>(test % 8) / 4.0f - 1.0f;
    offsets.vertical = static_cast<float>(test / 32) / 4.0f;
    return offsets;
}

void THvMiniVecDraw::CalibrateSpanOffsets()
{
    for (;;) {
        const TCalibrationResult result = RunCalibration();
        if (result.bestTest >= 0) {
            mOffsets = OffsetsOfTest(result.bestTest);
            TraceLog("graphics: vector drawing: span offsets %.2f, %.2f, %.2f (test %d)",
                     mOffsets.start, mOffsets.end, mOffsets.vertical, result.bestTest);
            return;
        }
        mOffsets = {-0.75f, -0.75f, 0.25f};
        if (!result.usable) {
            TraceLog("%s", kNoCalibrationTargetLog);
            return;
        }
        TraceLog("graphics: vector drawing: no exact span offsets (%d of %d tests drew nothing)",
                 result.blankTests, kCalibrationTests);
        if (result.blankTests <= 75 || mBatchVertices == kSmallBatchVertices)
            return;
        mBatchVertices = kSmallBatchVertices;
    }
}

THvMiniVecDraw::TCalibrationResult THvMiniVecDraw::RunCalibration()
{
    TCalibrationResult result;
    TRenderer* renderer = TRenderer::Get();
    Flush();
    const std::shared_ptr<TTexture> texture =
        TTexture::Create(kCalibrationWidth, kCalibrationHeight, false);
    if (!texture || !renderer->BeginRenderTarget(texture, TRenderTargetMode::Opaque))
        return result;
    const bool began = renderer->Begin2d();
    renderer->SetTexture(nullptr);
    renderer->SetBlendMode(kBlendNormal);
    renderer->FillRect(TRect(0, 0, kCalibrationWidth, kCalibrationHeight), TColor(0, 0, 0, 1));
    // The spans of test k: pixel column 1 + 4k on row 1 and column 2 + 4k on row 2, in
    // white at half coverage.
    const TSpanOffsets kept = mOffsets;
    const uint32_t colour = (255u * 128 / 256) << 24 | 0x00FFFFFFu;
    for (int test = 0; test < kCalibrationTests; ++test) {
        mOffsets = OffsetsOfTest(test);
        for (int row = 1; row <= 2; ++row)
            mBatch[static_cast<size_t>(mBatchSize++)] = {row, row + 4 * test, row + 1 + 4 * test,
                                                         colour};
        DrawBatchAsLines();
        mBatchSize = 0;
    }
    mOffsets = kept;
    if (began)
        renderer->End2d();
    renderer->EndRenderTarget();

    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (!texture->Lock(pixels, pitch))
        return result;
    result.usable = true;
    int bestSum = -1;
    for (int test = 0; test < kCalibrationTests; ++test) {
        int lit = 0;
        int expectedLit = 0;
        int sum = 0;
        for (int row = 0; row < 4; ++row)
            for (int column = 4 * test; column < 4 * test + 4; ++column) {
                const uint32_t pixel = pixels[row * pitch + column] & 0x00FFFFFFu;
                if (pixel == 0)
                    continue;
                ++lit;
                const bool expected = column - 4 * test == row && (row == 1 || row == 2);
                expectedLit += expected;
                sum += expected ? static_cast<int>((pixel >> 16) & 0xFF) : 0;
            }
        if (lit == 0)
            ++result.blankTests;
        if (lit == 2 && expectedLit == 2 && sum > bestSum) {
            bestSum = sum;
            result.bestTest = test;
        }
    }
    texture->Unlock();
    return result;
}
