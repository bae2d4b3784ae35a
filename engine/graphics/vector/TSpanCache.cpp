#include "engine/graphics/vector/TSpanCache.h"

#include <cstring>

namespace {

uint64_t Mix(uint64_t hash, uint64_t value)
{
    hash ^= value + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
    return hash * 0xFF51AFD7ED558CCDull;
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
    uint64_t hash = key.size;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&shape);
    for (size_t at = 0; at + 8 <= sizeof shape; at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes + at, 8);
        hash = Mix(hash, word);
    }
    size_t at = 0;
    for (; at + 8 <= key.size; at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, key.outline + at, 8);
        hash = Mix(hash, word);
    }
    uint64_t tail = 0;
    if (key.size > at)
        std::memcpy(&tail, key.outline + at, key.size - at);
    return Mix(hash, tail);
}

bool TSpanCache::Matches(const TEntry& entry, const TKey& key, const TShape& shape) const
{
    return std::memcmp(&entry.shape, &shape, sizeof shape) == 0 && entry.outlineSize == key.size &&
           (key.size == 0 || std::memcmp(&mOutlines[entry.outlineAt], key.outline, key.size) == 0);
}

const TSpanRecord* TSpanCache::Find(const TKey& key) const
{
    const TShape shape = ShapeOf(key);
    const auto head = mHeads.find(Hash(key, shape));
    if (head == mHeads.end())
        return nullptr;
    for (int32_t index = head->second; index >= 0;) {
        const TEntry& entry = mEntries[static_cast<size_t>(index)];
        if (Matches(entry, key, shape))
            return &mRecords[entry.firstRecord];
        index = entry.next;
    }
    return nullptr;
}

void TSpanCache::Begin(const TKey& key)
{
    if (GetByteCount() > kByteLimit)
        Clear();
    const TShape shape = ShapeOf(key);
    int32_t& head = mHeads.try_emplace(Hash(key, shape), -1).first->second;
    TEntry entry{shape, mOutlines.size(), key.size, mRecords.size(), head};
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
           mEntries.size() * sizeof(TEntry);
}
