#include "engine/graphics/particles/TParticleCollection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Which records (by index) a list holds, in order.
std::vector<int> Indexes(const TParticleCollection& collection, const float* block)
{
    std::vector<int> indexes;
    for (const float* particle : collection.GetLive())
        indexes.push_back(static_cast<int>((particle - block) / collection.GetFloatsPerParticle()));
    return indexes;
}

TEST(TParticleCollectionTest, RecordsAreHandedOutInOrderAndFreedOnesComeBackFirst)
{
    std::vector<float> block(5 * 3);
    TParticleCollection collection;
    collection.Init(5, 3, block.data());
    EXPECT_EQ(collection.GetCapacity(), 5);
    for (int i = 0; i < 3; ++i)
        collection.Spawn();
    EXPECT_EQ(Indexes(collection, block.data()), (std::vector<int>{0, 1, 2}));

    // The middle one expires; the next spawn reuses it, at the end of the live list.
    collection.Sweep([&](float* p) { return p != &block[3]; });
    EXPECT_EQ(Indexes(collection, block.data()), (std::vector<int>{0, 2}));
    collection.Spawn();
    EXPECT_EQ(Indexes(collection, block.data()), (std::vector<int>{0, 2, 1}));

    // Several expire: the last of them is reused first, then the others, then new ones.
    collection.Sweep([&](float* p) { return p == &block[3]; });
    EXPECT_EQ(Indexes(collection, block.data()), (std::vector<int>{1}));
    for (int i = 0; i < 4; ++i)
        collection.Spawn();
    EXPECT_EQ(Indexes(collection, block.data()), (std::vector<int>{1, 2, 0, 3, 4}));
    EXPECT_EQ(collection.Spawn(), nullptr) << "the pool is full";
    EXPECT_EQ(collection.GetCount(), 5);
}

TEST(TParticleCollectionTest, InitStartsOverAndClearLeavesNothing)
{
    TParticleCollection collection;
    collection.Init(2, 4);
    float* first = collection.Spawn();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first[3], 0.0f) << "an owned block starts zeroed";
    first[3] = 7; // inside the record
    collection.Init(3, 2);
    EXPECT_EQ(collection.GetCount(), 0);
    EXPECT_EQ(collection.GetCapacity(), 3);
    EXPECT_EQ(collection.GetFloatsPerParticle(), 2);
    collection.Clear();
    EXPECT_EQ(collection.GetCapacity(), 0);
    EXPECT_EQ(collection.Spawn(), nullptr);
    collection.Init(0, 10);
    EXPECT_EQ(collection.Spawn(), nullptr);
}

} // namespace
