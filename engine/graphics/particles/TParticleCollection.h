#pragma once

// The particles of one system: one block of floats cut into records of a fixed number of
// floats, each record on the live list or the free list. New particles come from the
// front of the free list and go to the end of the live list; expired ones go back to
// the front of the free list, so the record freed last is reused first. Nothing is
// allocated between Init calls.

#include <memory>
#include <span>
#include <vector>

class TParticleCollection
{
public:
    TParticleCollection() = default;
    TParticleCollection(const TParticleCollection&) = delete;
    TParticleCollection& operator=(const TParticleCollection&) = delete;

    // count records of floatsPerParticle floats, all free (the first record first).
    // block, when given, holds them and stays the caller's; otherwise the collection
    // allocates them (zeroed). Particles alive before are gone.
    void Init(int count, int floatsPerParticle, float* block = nullptr);
    // No records at all.
    void Clear();

    int GetCount() const { return static_cast<int>(mLive.size()); }
    int GetCapacity() const { return mCapacity; }
    int GetFloatsPerParticle() const { return mFloatsPerParticle; }
    std::span<float* const> GetLive() const { return mLive; }

    // Moves the first free record to the end of the live list; null when none is free.
    float* Spawn();
    // Runs keep on every live particle in list order; those it answers false for go to
    // the front of the free list (the last of them in front), the others keep their
    // order.
    template <class F> void Sweep(F keep);

private:
    std::unique_ptr<float[]> mOwned;
    float* mBlock = nullptr;
    int mCapacity = 0;
    int mFloatsPerParticle = 0;
    std::vector<float*> mLive;
    std::vector<float*> mFree; // the front of the free list is the back of the vector
};

template <class F> void TParticleCollection::Sweep(F keep)
{
    size_t kept = 0;
    for (float* particle : mLive) {
        if (keep(particle))
            mLive[kept++] = particle;
        else
            mFree.push_back(particle);
    }
    mLive.resize(kept);
}
