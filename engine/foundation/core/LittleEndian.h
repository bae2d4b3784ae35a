#pragma once

// Fixed-width integers in little-endian byte order, the order of every file and record
// the engine persists (packages, packed XML, preferences) and of the host messages.
// Reads take the bytes at p; appends add them to the end of a byte string
// (std::string or std::vector<uint8_t>).

#include <cstdint>

inline uint16_t ReadLE16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t ReadLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

template <class TBytes> void AppendLE16(TBytes& out, uint16_t value)
{
    out.push_back(static_cast<typename TBytes::value_type>(value & 0xff));
    out.push_back(static_cast<typename TBytes::value_type>(value >> 8));
}

template <class TBytes> void AppendLE32(TBytes& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<typename TBytes::value_type>((value >> shift) & 0xff));
}
