#pragma once

// Vector drawing: THvMiniVecDraw scan-converts outlines (font glyphs, the text caret and
// underline, any shape in the TOutlineCommand encoding) with 4 x 4 anti-aliasing and
// draws them as horizontal one-pixel spans of constant colour: onto the screen through
// TRenderer (in the 2D state), or straight into the pixels of a locked target texture.
// Every glyph's spans are cached (TSpanCache), so repeated text is a replay in whatever
// colours are in force.
//
// On the screen the spans go to the device as spans (TRenderer::DrawSpans), which draws
// exactly what a line list of pre-transformed vertices at the span ends would. The start-
// up calibration (CalibrateSpanOffsets) draws in the line form: it checks the device's
// line drawing against the spans it means and finds the offsets that put line ends on the
// intended pixels.
//
// A glyph takes its colours from 256 slots, which share four coverage buffers: slot 255
// (the outline stroke) buffer 0, slot 254 (the bold stroke) buffer 1, slot 1 (text)
// buffer 3, every other slot buffer 2. Setting a slot's colour sets its buffer's colour
// table, so slots of one buffer share the colour set last.
//
// One object serves the process (Get); the platform makes it once the display is up,
// calibrates it and destroys it at shutdown (TVectorDrawLink). Depends on the renderer
// and textures. Main thread only.

#include "engine/foundation/math/TColor.h"
#include "engine/graphics/device/TDeviceSpan.h"
#include "engine/graphics/vector/TOutlineScanner.h"
#include "engine/graphics/vector/TScanParams.h"
#include "engine/graphics/vector/TSpanCache.h"
#include "engine/graphics/vector/TargetSpanWriter.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class TTexture;

class THvMiniVecDraw final : private TOutlineScanner::TSink
{
public:
    // Logged by a calibration that has no render target to draw into.
    static constexpr const char* kNoCalibrationTargetLog =
        "graphics: vector drawing: no render target to calibrate with; fixed span offsets";

    // Added to span ends (in pixels) before they go to the device as line vertices.
    struct TSpanOffsets
    {
        float start = 0.25f;
        float end = 0.25f;
        float vertical = 0.25f;
    };

    // Line vertices a batch of the line form holds (64 after a calibration that drew
    // nothing), and spans a batch of the span form holds.
    static constexpr int kBatchVertices = 256;
    static constexpr int kSmallBatchVertices = 64;
    static constexpr int kBatchSpans = 1024;

    // The process-wide object, made on first use.
    static THvMiniVecDraw& Get();
    // Deletes it (releasing a target it holds); the next Get makes a new one.
    static void Destroy();
    ~THvMiniVecDraw() override;
    THvMiniVecDraw(const THvMiniVecDraw&) = delete;
    THvMiniVecDraw& operator=(const THvMiniVecDraw&) = delete;

    // Drawing parameters for the next DrawGlyph calls (see TScanParams).
    void SetScale(float x, float y);
    void SetRotation(float cosine, float sine);
    void SetStrokeWidths(float outline, float bold);
    void SetItalic(bool italic);
    const TScanParams& GetParams() const { return mParams; }
    // How spans go into a target texture: copy, blend, or (neither) normal mixing.
    void SetTargetModes(bool copy, bool blend);

    // The slot's colour with its alpha times alphaFactor (kept to 0..255) sets the colour
    // table of the slot's coverage buffer.
    void SetSlotColor(int slot, const TColor& colour, float alphaFactor);
    // The colour a span of buffer at coverage index (0..31: coverage 1..32 of 16) gets.
    uint32_t GetBufferColor(int buffer, int coverageIndex) const;

    // Sets the origin (pixels) of the glyphs that follow, and where they go: target, or
    // the screen when null (the renderer then binds no texture). Another target than the
    // current one is flushed; the new one is locked until Flush. False when the target
    // cannot be locked (its glyphs are then dropped).
    bool Begin(float x, float y, std::shared_ptr<TTexture> target);
    // Draws the outline of size bytes at (x, y) quarter pixels from the origin.
    void DrawGlyph(const uint8_t* outline, size_t size, int x, int y);
    // Sends what is pending; a target is unlocked, the window manager asked to redraw
    // and the target let go.
    void Flush();

    // Finds the span offsets that put span ends on the intended pixels of this device by
    // drawing test spans into a render target; without an exact result it keeps fixed
    // ones, and when most tests drew nothing it retries once with smaller batches.
    void CalibrateSpanOffsets();
    const TSpanOffsets& GetSpanOffsets() const { return mOffsets; }
    void SetSpanOffsets(const TSpanOffsets& offsets) { mOffsets = offsets; }
    int GetBatchVertices() const { return mBatchVertices; }

    const TSpanCache& GetSpanCache() const { return mCache; }

private:
    struct TCalibrationResult
    {
        bool usable = false;
        int bestTest = -1;
        int blankTests = 0;
    };

    THvMiniVecDraw();

    void OnSpan(const TSpanRecord& span) override;
    void OnDefineColor(int slot, uint8_t red, uint8_t green, uint8_t blue) override;
    void Output(const TSpanRecord& span);
    // The record of a scanner (buffer 0..3, coverage index 0..31) as a span on the target
    // in the colours in force.
    TDeviceSpan ToDeviceSpan(const TSpanRecord& span) const
    {
        return {mGlyphRow + span.row, mGlyphColumn + span.start, mGlyphColumn + span.end,
                mTables[span.buffer & 3][span.coverage & 31]};
    }
    std::span<const TDeviceSpan> Batch() const
    {
        return {mBatch.data(), static_cast<size_t>(mBatchSize)};
    }
    void Replay(const TSpanRecord* records);
    void FlushBatch();
    void DrawBatchOnScreen();
    // The batch as a line list of pre-transformed vertices moved by the span offsets.
    void DrawBatchAsLines();
    void WriteBatchToTarget();
    TCalibrationResult RunCalibration();
    static TSpanOffsets OffsetsOfTest(int test);

    TScanParams mParams;
    bool mCopyMode = false;
    bool mBlendMode = false;
    std::array<std::array<uint32_t, 32>, TCoverageRows::kBuffers> mTables{};

    // Origin and target.
    int mOriginX = 0;
    int mOriginY = 0;
    int mPhaseX = 0;
    int mPhaseY = 0;
    std::shared_ptr<TTexture> mTarget;
    uint32_t* mTargetPixels = nullptr;
    int mTargetPitch = 0;
    int mTargetWidth = 0;
    int mTargetHeight = 0;

    // The glyph being drawn: its pixel column and row, and whether it is being recorded.
    int mGlyphColumn = 0;
    int mGlyphRow = 0;
    bool mRecording = false;

    TOutlineScanner mScanner;
    TSpanCache mCache;
    // Spans waiting to be sent. Between calls the batch always has room: whatever writes
    // its last slot (Output, Replay) sends it at once.
    std::array<TDeviceSpan, kBatchSpans> mBatch{};
    int mBatchSize = 0;
    int mBatchVertices = kBatchVertices;
    TSpanOffsets mOffsets;
};
