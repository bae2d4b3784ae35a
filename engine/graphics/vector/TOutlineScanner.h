#pragma once

// Scan-converts one outline (TOutlineCommand encoding) into spans with 4 x 4
// anti-aliasing. Fill layers (layers 2 to 15; later ones are ignored) use the even-odd
// rule, so overlapping parts of a shape go into layers of their own; the outline and bold strokes
// (layers 0 and 1) are built as a hexagon per segment and use the winding rule. A pixel takes the
// colour slot of the highest layer that covers it there; slot 255 (the outline stroke) has coverage
// buffer 0, slot 254 (the bold stroke) buffer 1, slot 1 buffer 3 and every other slot buffer 2.
//
// Sub-scanline r (a quarter-pixel row) samples the middle of its strip, and a crossing
// is rounded to the nearest quarter column, so shapes on the quarter-pixel grid come out
// exact. Quadratic curves become three straight pieces. Edges are clipped to a row table of
// (trunc(|y scale| + 1)) x 1024 sub-scanlines (at most 65536) centred on the origin, and
// horizontally the coverage holds 1600 pixels either side of the glyph's column.
//
// The outline ends at its end command, at a byte that is no command, or at its last
// whole command; nothing beyond the given size is read.

#include "engine/graphics/vector/TCoverageRows.h"
#include "engine/graphics/vector/TScanParams.h"
#include "engine/graphics/vector/TSpanRecord.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TOutlineScanner
{
public:
    // What the scan reports: spans (relative to the glyph's column and pixel row) in the
    // order they are to be drawn, and colours an outline defines (command 7) as it defines
    // them.
    class TSink
    {
    public:
        virtual ~TSink() = default;
        virtual void OnSpan(const TSpanRecord& span) = 0;
        virtual void OnDefineColor(int slot, uint8_t red, uint8_t green, uint8_t blue) = 0;
    };

    static int BufferOfSlot(int slot);

    // Scans outline with params; phaseX and phaseY (0..3) are the quarter-pixel position
    // of the glyph's origin inside its pixel.
    void Scan(const uint8_t* outline, size_t size, const TScanParams& params, int phaseX,
              int phaseY, TSink& sink);

private:
    struct TPoint
    {
        float x = 0.0f;
        float y = 0.0f;
    };

    struct TEdge
    {
        float x;         // quarter pixels, at the current sub-scanline
        float step;      // x per sub-scanline
        int32_t lastRow; // the last sub-scanline it crosses
        int32_t next;    // in its row bucket
        uint8_t slot;    // fill: the colour slot; stroke: 1 up, 0 down
        uint8_t layer;
    };

    void Reset(const TScanParams& params, int phaseX, int phaseY);
    void Parse(const uint8_t* outline, size_t size, TSink& sink);
    void AddSegment(TPoint from, TPoint to);
    void AddStroke(TPoint from, TPoint to, float width, int layer);
    void AddEdge(TPoint from, TPoint to, int slot, int layer);
    void ScanRows(TSink& sink);
    void AdvanceActive(int row);
    void WalkRow();
    int ColorLeftOfEdge() const;
    void CrossEdge(const TEdge& edge);
    void Commit();

    static constexpr int kFillLayers = 14;

    TScanParams mParams;
    int mPhaseX = 0;
    int mPhaseY = 0;

    // Parse state.
    int mLayer = 2;
    int mColorCount = 0;
    int mSlotBase = 0;
    int mFillSlot = 0;
    int mStrokeSlot = 0;

    // Edges and their rows; rows are sub-scanlines relative to the glyph origin, stored at
    // row + mRowOffset.
    std::vector<TEdge> mEdges;
    std::vector<int32_t> mBuckets;
    std::vector<int32_t> mActive;
    int mRowOffset = 0;
    int mLowest = 0;
    int mHighest = 0;

    // The sub-scanline walk.
    int mStrokeWinding[2] = {0, 0};
    int mFillState[kFillLayers] = {};
    uint32_t mFilledLayers = 0; // bit i: mFillState[i] is not 0
    int mColor = 0;
    int mRunStart = 0;
    int mRunEnd = 0;
    TCoverageRows mCoverage;
};
