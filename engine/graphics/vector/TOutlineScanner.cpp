#include "engine/graphics/vector/TOutlineScanner.h"

#include "engine/foundation/core/LittleEndian.h"
#include "engine/graphics/vector/TOutlineCommand.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr int kMinRows = 4096;
constexpr int kMaxRows = 65536;
constexpr float kUnitsPerValue = 1.0f / 128.0f;
// Crossings further out than this are all off the coverage cells anyway.
constexpr float kFarX = 16777216.0f;

int FloorDiv4(int value)
{
    return value >> 2; // arithmetic shift: rounds toward minus infinity
}

int FloorMod4(int value)
{
    return value & 3;
}

int RoundHalfAway(float x)
{
    return static_cast<int>(std::lround(std::clamp(x, -kFarX, kFarX)));
}

} // namespace

int TOutlineScanner::BufferOfSlot(int slot)
{
    switch (slot) {
    case 255:
        return 0;
    case 254:
        return 1;
    case 1:
        return 3;
    default:
        return 2;
    }
}

void TOutlineScanner::Scan(const uint8_t* outline, size_t size, const TScanParams& params,
                           int phaseX, int phaseY, TSink& sink)
{
    Reset(params, phaseX, phaseY);
    if (outline != nullptr)
        Parse(outline, size, sink);
    ScanRows(sink);
}

void TOutlineScanner::Reset(const TScanParams& params, int phaseX, int phaseY)
{
    mParams = params;
    mPhaseX = phaseX;
    mPhaseY = phaseY;
    mLayer = 2;
    mColorCount = 0;
    mSlotBase = 0;
    mFillSlot = 0;
    mStrokeSlot = 0;
    mEdges.clear();
    mLowest = kMaxRows;
    mHighest = -kMaxRows;

    const float rowsWanted = (std::trunc(std::fabs(params.yScale) + 1.0f)) * 1024.0f;
    const int needed = rowsWanted < float(kMaxRows) ? static_cast<int>(rowsWanted) : kMaxRows;
    size_t capacity = std::max<size_t>(mBuckets.size(), kMinRows);
    while (capacity < static_cast<size_t>(needed))
        capacity *= 2;
    if (capacity != mBuckets.size())
        mBuckets.assign(capacity, -1);
    mRowOffset = needed / 2;
}

void TOutlineScanner::Parse(const uint8_t* outline, size_t size, TSink& sink)
{
    TPoint current;
    size_t at = 0;
    const auto point = [&](size_t offset) {
        return TPoint{static_cast<int16_t>(ReadLE16(outline + at + offset)) * kUnitsPerValue,
                      static_cast<int16_t>(ReadLE16(outline + at + offset + 2)) * kUnitsPerValue};
    };
    while (at < size) {
        const uint8_t command = outline[at];
        const size_t step = OutlineCommandSize(command);
        if (step == 0 || step > size - at)
            return;
        switch (static_cast<TOutlineCommand>(command)) {
        case TOutlineCommand::NewLayer:
            mLayer = std::min(mLayer + 1, 255);
            mSlotBase = mColorCount;
            mFillSlot = mStrokeSlot = 0;
            break;
        case TOutlineCommand::FillSlot:
        case TOutlineCommand::StrokeSlot: {
            const int operand = outline[at + 1];
            const int slot = operand != 0 ? std::min(255, operand + mSlotBase) : 0;
            (command == static_cast<uint8_t>(TOutlineCommand::FillSlot) ? mFillSlot : mStrokeSlot) =
                slot;
            break;
        }
        case TOutlineCommand::MoveTo:
            current = point(1);
            break;
        case TOutlineCommand::LineTo: {
            const TPoint to = point(1);
            AddSegment(current, to);
            current = to;
            break;
        }
        case TOutlineCommand::QuadTo: {
            const TPoint control = point(1);
            const TPoint to = point(5);
            // P(t) = P0 + t 2 (P1 - P0) + t^2 (P0 - 2 P1 + P2), in three pieces.
            const TPoint from = current;
            for (int piece = 1; piece <= 3; ++piece) {
                const float t = piece / 3.0f;
                const TPoint next = piece == 3
                                        ? to
                                        : TPoint{from.x + t * 2.0f * (control.x - from.x) +
                                                     t * t * (from.x - 2.0f * control.x + to.x),
                                                 from.y + t * 2.0f * (control.y - from.y) +
                                                     t * t * (from.y - 2.0f * control.y + to.y)};
                AddSegment(current, next);
                current = next;
            }
            break;
        }
        case TOutlineCommand::DefineColor:
            mColorCount = std::min(mColorCount + 1, 255);
            sink.OnDefineColor(mColorCount, outline[at + 1], outline[at + 2], outline[at + 3]);
            break;
        case TOutlineCommand::End:
            return;
        }
        at += step;
    }
}

void TOutlineScanner::AddSegment(TPoint from, TPoint to)
{
    const float widths[2] = {mParams.outlineWidth, mParams.boldWidth};
    for (int layer = 0; layer < 2 && widths[layer] != 0.0f; ++layer)
        AddStroke(from, to, widths[layer], layer);
    AddEdge(from, to, mFillSlot != 0 ? mFillSlot : mStrokeSlot, mLayer);
}

void TOutlineScanner::AddStroke(TPoint from, TPoint to, float width, int layer)
{
    const float dx = to.x - from.x;
    const float dy = to.y - from.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0f || mParams.xScale == 0.0f || mParams.yScale == 0.0f)
        return;
    const float w = width * 4.0f;
    const float u = (w / mParams.xScale) * dx / length;
    const float v = (w / mParams.yScale) * dy / length;
    const TPoint hexagon[6] = {{from.x + v, from.y - u}, {from.x - u, from.y - v},
                               {from.x - v, from.y + u}, {to.x - v, to.y + u},
                               {to.x + u, to.y + v},     {to.x + v, to.y - u}};
    for (int i = 0; i < 6; ++i)
        AddEdge(hexagon[i], hexagon[(i + 1) % 6], 1, layer);
}

void TOutlineScanner::AddEdge(TPoint from, TPoint to, int slot, int layer)
{
    if (layer >= 2 + kFillLayers)
        return;
    if (mParams.italic) {
        from.x -= from.y / 3.0f;
        to.x -= to.y / 3.0f;
    }
    from = {from.x * mParams.xScale, from.y * mParams.yScale};
    to = {to.x * mParams.xScale, to.y * mParams.yScale};
    if (mParams.sine != 0.0f) {
        const float c = mParams.cosine;
        const float s = mParams.sine;
        from = {from.x * c - from.y * s, from.x * s + from.y * c};
        to = {to.x * c - to.y * s, to.x * s + to.y * c};
    }
    if (!std::isfinite(from.x) || !std::isfinite(from.y) || !std::isfinite(to.x) ||
        !std::isfinite(to.y))
        return;
    const bool swapped = from.y > to.y;
    if (swapped)
        std::swap(from, to);
    // A stroke edge keeps its direction in its slot: 1 going up, 0 going down.
    const uint8_t edgeSlot = static_cast<uint8_t>(layer <= 1 && !swapped ? 0 : slot);

    // Sub-scanline r samples the middle of its quarter-pixel strip, y = r + 1/2; the edge
    // crosses the sub-scanlines whose middle lies in [y0, y1), cut to the row table.
    const float top = static_cast<float>(-mRowOffset);
    const float bottom = static_cast<float>(static_cast<int>(mBuckets.size()) - mRowOffset - 1);
    const float firstRow = std::max(std::ceil(from.y - 0.5f), top);
    const float lastRow = std::min(std::ceil(to.y - 0.5f) - 1.0f, bottom);
    if (lastRow < firstRow)
        return;

    const float step = (to.x - from.x) / (to.y - from.y);
    TEdge edge{from.x + step * (firstRow + 0.5f - from.y) + static_cast<float>(mPhaseX),
               step,
               static_cast<int32_t>(lastRow),
               -1,
               edgeSlot,
               static_cast<uint8_t>(layer)};
    const int first = static_cast<int>(firstRow);
    int32_t& bucket = mBuckets[static_cast<size_t>(first + mRowOffset)];
    edge.next = bucket;
    bucket = static_cast<int32_t>(mEdges.size());
    mEdges.push_back(edge);
    mLowest = std::min(mLowest, first);
    mHighest = std::max(mHighest, edge.lastRow);
}

void TOutlineScanner::ScanRows(TSink& sink)
{
    mActive.clear();
    const auto emit = [&sink](const TSpanRecord& span) { sink.OnSpan(span); };
    for (int row = mLowest; row <= mHighest; ++row) {
        AdvanceActive(row);
        WalkRow();
        if (FloorMod4(row + mPhaseY) == 3)
            mCoverage.EmitSpans(FloorDiv4(row + mPhaseY), emit);
    }
    if (mLowest <= mHighest)
        mCoverage.EmitSpans(FloorDiv4(mHighest + mPhaseY), emit);
}

void TOutlineScanner::AdvanceActive(int row)
{
    // Edges that ended above this sub-scanline leave; the others step to it.
    size_t kept = 0;
    for (const int32_t index : mActive) {
        TEdge& edge = mEdges[static_cast<size_t>(index)];
        if (edge.lastRow < row)
            continue;
        edge.x += edge.step;
        mActive[kept++] = index;
    }
    mActive.resize(kept);
    // Edges starting at this sub-scanline join with their x here.
    int32_t& bucket = mBuckets[static_cast<size_t>(row + mRowOffset)];
    for (int32_t index = bucket; index >= 0; index = mEdges[static_cast<size_t>(index)].next)
        mActive.push_back(index);
    bucket = -1;
    // Nearly sorted from the last sub-scanline: insertion sort by x.
    for (size_t i = 1; i < mActive.size(); ++i) {
        const int32_t index = mActive[i];
        const float x = mEdges[static_cast<size_t>(index)].x;
        size_t j = i;
        for (; j > 0 && mEdges[static_cast<size_t>(mActive[j - 1])].x > x; --j)
            mActive[j] = mActive[j - 1];
        mActive[j] = index;
    }
}

void TOutlineScanner::WalkRow()
{
    mStrokeWinding[0] = mStrokeWinding[1] = 0;
    std::fill(std::begin(mFillState), std::end(mFillState), 0);
    mFilledLayers = 0;
    mColor = 0;
    mRunStart = mRunEnd = 0;
    int previousX = 0;
    bool first = true;
    for (const int32_t index : mActive) {
        const TEdge& edge = mEdges[static_cast<size_t>(index)];
        const int x = RoundHalfAway(edge.x);
        if (first)
            previousX = x;
        first = false;
        const int left = ColorLeftOfEdge();
        if (left == 0) {
            Commit();
            mRunStart = mRunEnd = x;
        } else if (left != mColor) {
            Commit();
            mColor = left;
            mRunStart = previousX;
            mRunEnd = x;
        } else {
            mRunEnd = x;
        }
        CrossEdge(edge);
        previousX = x;
    }
    Commit();
}

int TOutlineScanner::ColorLeftOfEdge() const
{
    if (mFilledLayers != 0)
        return mFillState[std::bit_width(mFilledLayers) - 1];
    for (int stroke = 1; stroke >= 0; --stroke)
        if (mStrokeWinding[stroke] != 0)
            return 255 - stroke;
    return 0;
}

void TOutlineScanner::CrossEdge(const TEdge& edge)
{
    if (edge.layer <= 1) {
        mStrokeWinding[edge.layer] += edge.slot != 0 ? 1 : -1;
        return;
    }
    const int fill = edge.layer - 2;
    int& state = mFillState[fill];
    state = state != 0 ? 0 : edge.slot;
    if (state != 0)
        mFilledLayers |= 1u << fill;
    else
        mFilledLayers &= ~(1u << fill);
}

void TOutlineScanner::Commit()
{
    if (mColor != 0 && mRunEnd > mRunStart)
        mCoverage.AddCoverage(BufferOfSlot(mColor), mRunStart, mRunEnd);
    mRunStart = mRunEnd;
}
