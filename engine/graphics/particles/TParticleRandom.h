#pragma once

// The random generator every particle system and node shares. Systems hold a share (an
// object of this class) for their lifetime: the first share makes the generator, seeded
// by array from the four words of a fresh unique identifier, and the last one deletes
// it. Nodes evaluated while no share exists get one made on demand. Not locked: main
// thread only.

#include <cstdint>

class TMersenneTwister;

class TParticleRandom
{
public:
    TParticleRandom();
    ~TParticleRandom();
    TParticleRandom(const TParticleRandom&) = delete;
    TParticleRandom& operator=(const TParticleRandom&) = delete;

    static TMersenneTwister& Generator();
    // Restarts the shared generator from one word (tests, repeatable demos).
    static void Seed(uint32_t seed);
    // The generator's next word x 1/(2^32 + 128), rounded to a float: in [0, 1), never
    // rounded up to 1.
    static float NextFloat();
    // The generator's 53-bit real in [0, 1).
    static double NextReal();
};
