#include "engine/foundation/core/TMersenneTwister.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

namespace {

constexpr int kShift = 397;
constexpr uint32_t kMatrixA = 0x9908b0dfu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7fffffffu;
constexpr uint32_t kArraySeed = 19650218u;

constexpr uint32_t kDefaultKey[] = {0xd4c4cf4bu, 0x3e2019a7u, 0xe6489797u, 0x5746fcb5u};

uint32_t Twist(uint32_t upper, uint32_t lower, uint32_t shifted)
{
    const uint32_t y = (upper & kUpperMask) | (lower & kLowerMask);
    return shifted ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
}

} // namespace

TMersenneTwister::TMersenneTwister()
{
    SeedByArray(kDefaultKey, 4);
}

void TMersenneTwister::Seed(uint32_t seed)
{
    mState[0] = seed;
    for (int i = 1; i < kStateSize; ++i) {
        const uint32_t prev = mState[i - 1];
        mState[i] = 1812433253u * (prev ^ (prev >> 30)) + static_cast<uint32_t>(i);
    }
    mIndex = kStateSize;
}

void TMersenneTwister::SeedByArray(const uint32_t* words, int count)
{
    assert(words && count > 0);
    Seed(kArraySeed);
    if (!words || count <= 0)
        return;
    int i = 1;
    int j = 0;
    for (int k = std::max(kStateSize, count); k > 0; --k) {
        const uint32_t prev = mState[i - 1];
        mState[i] =
            (mState[i] ^ ((prev ^ (prev >> 30)) * 1664525u)) + words[j] + static_cast<uint32_t>(j);
        ++i;
        ++j;
        if (i >= kStateSize) {
            mState[0] = mState[kStateSize - 1];
            i = 1;
        }
        if (j >= count)
            j = 0;
    }
    for (int k = kStateSize - 1; k > 0; --k) {
        const uint32_t prev = mState[i - 1];
        mState[i] = (mState[i] ^ ((prev ^ (prev >> 30)) * 1566083941u)) - static_cast<uint32_t>(i);
        ++i;
        if (i >= kStateSize) {
            mState[0] = mState[kStateSize - 1];
            i = 1;
        }
    }
    mState[0] = 0x80000000u; // guarantees a non-zero state
}

void TMersenneTwister::Regenerate()
{
    if (mIndex == kStateSize + 1)
        Seed(5489u);
    for (int i = 0; i < kStateSize; ++i) {
        const int next = (i + 1) % kStateSize;
        const int far = (i + kShift) % kStateSize;
        mState[i] = Twist(mState[i], mState[next], mState[far]);
    }
    mIndex = 0;
}

uint32_t TMersenneTwister::NextUInt32()
{
    if (mIndex >= kStateSize)
        Regenerate();
    uint32_t y = mState[mIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

double TMersenneTwister::NextReal()
{
    const uint32_t a = NextUInt32() >> 5;
    const uint32_t b = NextUInt32() >> 6;
    return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

int TMersenneTwister::NextIntInRange(int lo, int hi)
{
    assert(hi >= lo);
    if (hi < lo)
        std::swap(lo, hi); // keeps release builds in range
    const double span = static_cast<double>(hi) - lo + 1.0;
    return static_cast<int>(lo + std::trunc(NextReal() * span));
}
