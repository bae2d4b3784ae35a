#include "engine/graphics/vector/TSpanCache.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TSpanCache::TKey KeyOf(const std::vector<uint8_t>& outline, float scale = 1.0f, int phaseX = 0)
{
    TSpanCache::TKey key;
    key.outline = outline.data();
    key.size = outline.size();
    key.phaseX = phaseX;
    key.params.xScale = key.params.yScale = scale;
    return key;
}

void Record(TSpanCache& cache, const TSpanCache::TKey& key, int16_t row)
{
    cache.Begin(key);
    TSpanRecord record;
    record.row = row;
    cache.Append(record);
    cache.End();
}

TEST(TSpanCache, GlyphsAreKnownByTheirBytesAndParameters)
{
    TSpanCache cache;
    std::vector<uint8_t> buffer = {2, 1, 4, 0, 0, 0, 0, 8};
    Record(cache, KeyOf(buffer), 7);
    const TSpanRecord* found = cache.Find(KeyOf(buffer));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found[0].row, 7);
    EXPECT_EQ(found[1].coverage, TSpanRecord::kEndOfGlyph);

    // The same bytes elsewhere are the same glyph.
    const std::vector<uint8_t> copy = buffer;
    EXPECT_EQ(cache.Find(KeyOf(copy)), found);
    // Other bytes at the same address are not.
    buffer[3] = 1;
    EXPECT_EQ(cache.Find(KeyOf(buffer)), nullptr);
    // Nor are other parameters or phases.
    EXPECT_EQ(cache.Find(KeyOf(copy, 2.0f)), nullptr);
    EXPECT_EQ(cache.Find(KeyOf(copy, 1.0f, 3)), nullptr);
    EXPECT_EQ(cache.GetGlyphCount(), 1u);
}

TEST(TSpanCache, PassingItsLimitStartsItAfresh)
{
    TSpanCache cache;
    const std::vector<uint8_t> first = {8};
    Record(cache, KeyOf(first), 1);
    // Grow the records past the limit under another glyph.
    const std::vector<uint8_t> big = {2, 1, 8};
    cache.Begin(KeyOf(big));
    for (size_t i = 0; i <= TSpanCache::kByteLimit / sizeof(TSpanRecord); ++i)
        cache.Append(TSpanRecord());
    cache.End();
    EXPECT_NE(cache.Find(KeyOf(first)), nullptr);
    const std::vector<uint8_t> next = {2, 2, 8};
    Record(cache, KeyOf(next), 3);
    EXPECT_EQ(cache.Find(KeyOf(first)), nullptr);
    EXPECT_EQ(cache.Find(KeyOf(big)), nullptr);
    ASSERT_NE(cache.Find(KeyOf(next)), nullptr);
    EXPECT_EQ(cache.GetGlyphCount(), 1u);
    EXPECT_LT(cache.GetByteCount(), 64u << 10);
}

} // namespace
