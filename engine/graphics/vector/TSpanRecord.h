#pragma once

#include <cstdint>

// One horizontal span of constant coverage, as the rasteriser emits and caches it:
// pixel columns [start, end) of one pixel row, relative to the glyph's pixel origin, with
// the coverage of its pixels (index 0..31 = coverage 1..32 of 16) and the coverage buffer
// whose colour it takes. 8 bytes; a record with coverage kEndOfGlyph closes a glyph.
struct TSpanRecord
{
    static constexpr uint8_t kEndOfGlyph = 255;

    int16_t start = 0;
    int16_t end = 0;
    int16_t row = 0;
    uint8_t coverage = 0;
    uint8_t buffer = 0;
};

static_assert(sizeof(TSpanRecord) == 8);
