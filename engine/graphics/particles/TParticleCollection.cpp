#include "engine/graphics/particles/TParticleCollection.h"

void TParticleCollection::Init(int count, int floatsPerParticle, float* block)
{
    Clear();
    if (count <= 0)
        return;
    const size_t floats = static_cast<size_t>(count) * static_cast<size_t>(floatsPerParticle);
    if (block == nullptr) {
        mOwned = std::make_unique<float[]>(floats);
        block = mOwned.get();
    }
    mBlock = block;
    mCapacity = count;
    mFloatsPerParticle = floatsPerParticle;
    mLive.reserve(static_cast<size_t>(count));
    mFree.reserve(static_cast<size_t>(count));
    for (int i = count - 1; i >= 0; --i)
        mFree.push_back(mBlock + static_cast<size_t>(i) * static_cast<size_t>(floatsPerParticle));
}

void TParticleCollection::Clear()
{
    mOwned.reset();
    mBlock = nullptr;
    mCapacity = 0;
    mFloatsPerParticle = 0;
    mLive.clear();
    mFree.clear();
    mLive.shrink_to_fit();
    mFree.shrink_to_fit();
}

float* TParticleCollection::Spawn()
{
    if (mFree.empty())
        return nullptr;
    float* particle = mFree.back();
    mFree.pop_back();
    mLive.push_back(particle);
    return particle;
}
