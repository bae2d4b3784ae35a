#include "engine/graphics/vector/TSpanCache.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kFirstBuckets = 4096;

uint64_t Mix(uint64_t hash, uint64_t value)
{
    return (hash ^ value) * 0x9E3779B97F4A7C15ull;
}

uint64_t Finish(uint64_t hash)
{
    hash ^= hash >> 29;
    hash *= 0xBF58476D1CE4E5B9ull;
    return hash ^ hash >> 32;
}

} // namespace

TSpanCache::TShape TSpanCache::ShapeOf(const TKey& key)
{
    TShape shape{};
    const TScanParams& p = key.params;
    const float values[6] = {p.xScale, p.yScale, p.cosine, p.sine, p.outlineWidth, p.boldWidth};
    std::memcpy(shape.values, values, sizeof values);
    shape.phaseX = key.phaseX;
    shape.phaseY = key.phaseY;
    shape.italic = p.italic ? 1 : 0;
    return shape;
}

uint64_t TSpanCache::Hash(const TKey& key, const TShape& shape)
{
    // Three independent chains (the shape, even and odd words of the outline), joined at
    // the end: every glyph drawn is looked up, and one chain of dependent multiplies
    // would take about twice as long.
    uint64_t hash = key.size;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&shape);
    for (size_t at = 0; at + 8 <= sizeof shape; at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes + at, 8);
        hash = Mix(hash, word);
    }
    // The first 64 bytes tell outlines apart well enough; Find compares them all.
    const size_t hashed = std::min<size_t>(key.size, 64);
    uint64_t even = 1;
    uint64_t odd = 2;
    const auto word = [&](size_t at) {
        uint64_t value = 0;
        std::memcpy(&value, key.outline + at, 8);
        return value;
    };
    size_t at = 0;
    for (; at + 16 <= hashed; at += 16) {
        even = Mix(even, word(at));
        odd = Mix(odd, word(at + 8));
    }
    if (at + 8 <= hashed) {
        even = Mix(even, word(at));
        at += 8;
    }
    uint64_t tail = 0;
    if (hashed > at)
        std::memcpy(&tail, key.outline + at, hashed - at);
    return Finish(Mix(Mix(Mix(hash, even), odd), tail));
}

bool TSpanCache::Matches(const TEntry& entry, const TKey& key, const TShape& shape) const
{
    return std::memcmp(&entry.shape, &shape, sizeof shape) == 0 && entry.outlineSize == key.size &&
           (key.size == 0 || std::memcmp(&mOutlines[entry.outlineAt], key.outline, key.size) == 0);
}

int32_t& TSpanCache::Head(uint64_t hash)
{
    return mHeads[static_cast<size_t>(hash) & (mHeads.size() - 1)];
}

const TSpanRecord* TSpanCache::Find(const TKey& key) const
{
    if (mEntries.empty())
        return nullptr;
    const TShape shape = ShapeOf(key);
    const uint64_t hash = Hash(key, shape);
    for (int32_t index = mHeads[static_cast<size_t>(hash) & (mHeads.size() - 1)]; index >= 0;) {
        const TEntry& entry = mEntries[static_cast<size_t>(index)];
        if (entry.hash == hash && Matches(entry, key, shape))
            return &mRecords[entry.firstRecord];
        index = entry.next;
    }
    return nullptr;
}

void TSpanCache::Begin(const TKey& key)
{
    if (GetByteCount() > kByteLimit)
        Clear();
    if (mEntries.size() >= mHeads.size())
        Rehash(std::max(kFirstBuckets, 2 * mHeads.size()));
    const TShape shape = ShapeOf(key);
    const uint64_t hash = Hash(key, shape);
    int32_t& head = Head(hash);
    TEntry entry{shape, hash, mOutlines.size(), key.size, mRecords.size(), head};
    head = static_cast<int32_t>(mEntries.size());
    mEntries.push_back(entry);
    if (key.size != 0)
        mOutlines.insert(mOutlines.end(), key.outline, key.outline + key.size);
}

void TSpanCache::End()
{
    TSpanRecord end;
    end.coverage = TSpanRecord::kEndOfGlyph;
    mRecords.push_back(end);
}

void TSpanCache::Rehash(size_t buckets)
{
    mHeads.assign(buckets, -1);
    for (size_t i = 0; i < mEntries.size(); ++i) {
        int32_t& head = Head(mEntries[i].hash);
        mEntries[i].next = head;
        head = static_cast<int32_t>(i);
    }
}

void TSpanCache::Clear()
{
    mHeads.clear();
    mEntries.clear();
    mOutlines.clear();
    mRecords.clear();
}

size_t TSpanCache::GetByteCount() const
{
    return mRecords.size() * sizeof(TSpanRecord) + mOutlines.size() +
           mEntries.size() * sizeof(TEntry) + mHeads.size() * sizeof(int32_t);
}
