#pragma once

// Reads a fixed-layout record field by field in little-endian order, walking the same
// layout template as RecordWriter. The caller checks the record's size first: every
// read stays inside the bytes given.

#include "engine/foundation/core/LittleEndian.h"

#include <array>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>

namespace YOLT::Core {

class RecordReader
{
public:
    RecordReader(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}

    void Field(int32_t& value) { value = static_cast<int32_t>(ReadLE32(Take(4))); }
    void Field(float& value) { value = std::bit_cast<float>(ReadLE32(Take(4))); }
    void Field(uint16_t& value) { value = ReadLE16(Take(2)); }
    void Field(uint8_t& value) { value = *Take(1); }
    void Field(char& value) { value = static_cast<char>(*Take(1)); }
    template <class T, size_t N> void Field(std::array<T, N>& values)
    {
        for (T& value : values)
            Field(value);
    }
    // Padding is skipped unread.
    void Padding(size_t count) { Take(count); }

    size_t Position() const { return mPosition; }

private:
    const uint8_t* Take(size_t count)
    {
        assert(mPosition + count <= mSize);
        const uint8_t* at = mBytes + mPosition;
        mPosition += count;
        return at;
    }

    const uint8_t* mBytes;
    size_t mSize;
    size_t mPosition = 0;
};

} // namespace YOLT::Core
