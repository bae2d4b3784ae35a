#pragma once

// The engine's random generator: MT19937 with its standard seeding by one word and by an
// array of words, 32-bit outputs, 53-bit reals and integer ranges. A plain value: copying
// copies the whole state, so a copy continues the same sequence.

#include <cstdint>

class TMersenneTwister
{
public:
    // Seeded by a fixed array of four words: every default-constructed generator gives
    // the same sequence until it is reseeded.
    TMersenneTwister();

    // The standard single-word initialisation (Seed(5489) then yields 3499211612 first).
    void Seed(uint32_t seed);
    // The standard array initialisation. count must be at least 1; an empty or null
    // array (a caller's mistake) seeds as Seed(19650218).
    void SeedByArray(const uint32_t* words, int count);

    uint32_t NextUInt32();
    // A double in [0, 1) with 53-bit resolution; takes two outputs, the first supplying
    // the high bits.
    double NextReal();
    // An int in [lo, hi]. hi < lo is a programming error (asserted).
    int NextIntInRange(int lo, int hi);

private:
    static constexpr int kStateSize = 624;

    void Regenerate();

    uint32_t mState[kStateSize] = {};
    int mIndex = kStateSize + 1; // never seeded
};
