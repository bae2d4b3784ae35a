#pragma once

// The coverage of one pixel row while an outline is scan-converted: four buffers (one per
// colour class) of delta-encoded cells, so that a run of any length costs four cell
// updates. Cell c is pixel column c - kOriginCell relative to the glyph's column; runs
// are given in quarter columns on the same origin. After the four sub-scanlines of a
// pixel row, EmitSpans turns each buffer into spans of equal coverage and clears it.

#include "engine/graphics/vector/TSpanRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>

class TCoverageRows
{
public:
    static constexpr int kBuffers = 4;
    static constexpr int kCells = 3200;
    static constexpr int kOriginCell = 1600;

    TCoverageRows();

    // Adds one sub-scanline of coverage to quarter columns [first, end) of buffer. Parts
    // beyond the 3200 cells are cut off.
    void AddCoverage(int buffer, int first, int end);

    // Emits the spans of every touched buffer, buffers 0 to 3 in that order, as records of
    // pixel row row, and clears them. sink(const TSpanRecord&).
    template <typename TSink> void EmitSpans(int row, TSink&& sink);

private:
    struct TBuffer
    {
        std::array<int32_t, kCells + 1> cells{}; // one spare cell past the last
        int lowest = kCells;
        int highest = -1;
    };

    std::array<TBuffer, kBuffers> mBuffers;
};

template <typename TSink> void TCoverageRows::EmitSpans(int row, TSink&& sink)
{
    for (int index = 0; index < kBuffers; ++index) {
        TBuffer& buffer = mBuffers[static_cast<size_t>(index)];
        if (buffer.highest < buffer.lowest)
            continue;
        // The running sum is a pixel's coverage minus one; -1 is an empty pixel.
        int sum = -1;
        int runStart = buffer.lowest;
        const auto close = [&](int end) {
            if (sum < 0)
                return;
            TSpanRecord record;
            record.start = static_cast<int16_t>(runStart - kOriginCell);
            record.end = static_cast<int16_t>(end - kOriginCell);
            record.row = static_cast<int16_t>(row);
            record.coverage = static_cast<uint8_t>(sum < 31 ? sum : 31);
            record.buffer = static_cast<uint8_t>(index);
            sink(record);
        };
        for (int cell = buffer.lowest; cell <= buffer.highest; ++cell) {
            const int32_t delta = buffer.cells[static_cast<size_t>(cell)];
            if (delta == 0)
                continue;
            buffer.cells[static_cast<size_t>(cell)] = 0;
            close(cell);
            sum += delta;
            runStart = cell;
        }
        close(buffer.highest + 1);
        buffer.lowest = kCells;
        buffer.highest = -1;
    }
}
