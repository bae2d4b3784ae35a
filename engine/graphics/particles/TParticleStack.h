#pragma once

// The evaluation stack of particle expressions: up to 255 vectors of 1 to 4 floats laid
// out one after another, each entry's floats starting where the previous entry's end.
// Storing an entry drops every entry above it.

#include <cstdint>

class TParticleStack
{
public:
    static constexpr int kMaxEntries = 255;
    static constexpr int kMaxFloats = kMaxEntries * 4;

    int GetDimension(int entry) const { return mDimensions[entry]; }
    const float* GetEntry(int entry) const { return mData + mOffsets[entry]; }
    // Stores n floats (they may lie in the stack, at or above entry) as entry. False when
    // entry is not below kMaxEntries or n is not 1 to 4.
    bool Store(int entry, const float* values, int n);

private:
    float mData[kMaxFloats] = {};
    uint8_t mDimensions[kMaxEntries] = {};
    uint16_t mOffsets[kMaxEntries + 1] = {};
};
