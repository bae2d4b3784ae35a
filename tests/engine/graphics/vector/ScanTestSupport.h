#pragma once

// Test support for the rasteriser: outlines in quarter pixels (with scale 1, one font
// unit is one quarter pixel), and a sink that records what a scan reports and adds the
// spans up into coverage per pixel.

#include "engine/graphics/vector/TOutlineBuilder.h"
#include "engine/graphics/vector/TOutlineScanner.h"

#include <map>
#include <utility>
#include <vector>

// A filled rectangle of slot 1 from (left, top) to (right, bottom) quarter pixels.
inline std::vector<uint8_t> QuarterRectangle(int left, int top, int right, int bottom)
{
    TOutlineBuilder out;
    out.FillSlot(1).Rectangle(left * 128, top * 128, right * 128, bottom * 128).End();
    return out.Take();
}

class TRecordingSink final : public TOutlineScanner::TSink
{
public:
    void OnSpan(const TSpanRecord& span) override { spans.push_back(span); }
    void OnDefineColor(int slot, uint8_t red, uint8_t green, uint8_t blue) override
    {
        colours.push_back({slot, red << 16 | green << 8 | blue});
    }

    // Coverage (1..16 a pixel, more where runs of one buffer overlap) by (row, column),
    // of one buffer or (-1) of all.
    std::map<std::pair<int, int>, int> Coverage(int buffer = -1) const
    {
        std::map<std::pair<int, int>, int> coverage;
        for (const TSpanRecord& span : spans)
            if (buffer < 0 || span.buffer == buffer)
                for (int column = span.start; column < span.end; ++column)
                    coverage[{span.row, column}] += span.coverage + 1;
        return coverage;
    }

    int Total(int buffer = -1) const
    {
        int total = 0;
        for (const auto& [pixel, value] : Coverage(buffer))
            total += value;
        return total;
    }

    std::vector<TSpanRecord> spans;
    std::vector<std::pair<int, int>> colours;
};

// Scans outline with params at phases and records the result.
inline TRecordingSink Scan(const std::vector<uint8_t>& outline, const TScanParams& params = {},
                           int phaseX = 0, int phaseY = 0)
{
    TOutlineScanner scanner;
    TRecordingSink sink;
    scanner.Scan(outline.data(), outline.size(), params, phaseX, phaseY, sink);
    return sink;
}
