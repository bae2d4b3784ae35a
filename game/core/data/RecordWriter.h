#pragma once

// Writes a fixed-layout record field by field in little-endian order. A record's layout
// is one template that both RecordWriter and RecordReader walk with the same calls
// (Field for each value or array, Padding for bytes that carry nothing), so reading and
// writing can never disagree on an offset.

#include "engine/foundation/core/LittleEndian.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace YOLT::Core {

class RecordWriter
{
public:
    explicit RecordWriter(size_t size) { mBytes.reserve(size); }

    void Field(int32_t value) { AppendLE32(mBytes, static_cast<uint32_t>(value)); }
    void Field(float value) { AppendLE32(mBytes, std::bit_cast<uint32_t>(value)); }
    void Field(uint16_t value) { AppendLE16(mBytes, value); }
    void Field(uint8_t value) { mBytes.push_back(value); }
    void Field(char value) { mBytes.push_back(static_cast<uint8_t>(value)); }
    template <class T, size_t N> void Field(const std::array<T, N>& values)
    {
        for (const T& value : values)
            Field(value);
    }
    // Padding is written as zero bytes.
    void Padding(size_t count) { mBytes.insert(mBytes.end(), count, 0); }

    size_t Position() const { return mBytes.size(); }
    std::vector<uint8_t> Take() { return std::move(mBytes); }

private:
    std::vector<uint8_t> mBytes;
};

} // namespace YOLT::Core
