#include "engine/graphics/particles/TParticleStack.h"

#include <cstring>

bool TParticleStack::Store(int entry, const float* values, int n)
{
    if (entry < 0 || entry >= kMaxEntries || n < 1 || n > 4)
        return false;
    float* target = mData + mOffsets[entry];
    std::memmove(target, values, sizeof(float) * static_cast<size_t>(n));
    mDimensions[entry] = static_cast<uint8_t>(n);
    mOffsets[entry + 1] = static_cast<uint16_t>(mOffsets[entry] + n);
    return true;
}
