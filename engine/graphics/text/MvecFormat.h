#pragma once

// The ".mvec" vector font file: little-endian, unpadded.
//
//   offset 0   "MVC4"
//          4   u16 glyph count N
//          6   six bytes readers ignore (our writer: u16 em size 64, u16 revision 1, u16 0)
//         12   N glyph records of 18 bytes, sorted by code, ascending and unique
//   12 + 18 N  the glyph outlines (TOutlineCommand encoding), in record order
//
// A glyph record: u32 code point, s16 x min, x max, y min, y max, advance, u32 outline
// offset from the start of the file. Metrics and coordinates are in 1/128 of a font
// unit, y pointing down (negative above the baseline).

#include <cstddef>
#include <cstdint>

namespace MvecFormat {

constexpr char kMagic[4] = {'M', 'V', 'C', '4'};
constexpr size_t kHeaderSize = 12;
constexpr size_t kRecordSize = 18;
constexpr float kUnitsPerValue = 1.0f / 128.0f;

// Offsets inside a glyph record.
constexpr size_t kCode = 0;
constexpr size_t kXMin = 4;
constexpr size_t kXMax = 6;
constexpr size_t kYMin = 8;
constexpr size_t kYMax = 10;
constexpr size_t kAdvance = 12;
constexpr size_t kOutlineOffset = 14;

// What our writer puts in the six free header bytes.
constexpr uint16_t kEmSize = 64;
constexpr uint16_t kRevision = 1;

} // namespace MvecFormat
