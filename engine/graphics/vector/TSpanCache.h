#pragma once

// The spans of every glyph drawn so far, so that drawing the same glyph again is a replay.
// A glyph is keyed by its outline's bytes (not their address: generated shapes may reuse
// a buffer), its quarter-pixel phases and its scan parameters; the colours are not part
// of the key, since a replay takes the colours in force. When the stored records and
// outlines pass kByteLimit, everything is dropped and the cache fills again, so text
// animated in scale or rotation cannot grow it without bound.

#include "engine/graphics/vector/TScanParams.h"
#include "engine/graphics/vector/TSpanRecord.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TSpanCache
{
public:
    static constexpr size_t kByteLimit = 16u << 20;

    struct TKey
    {
        const uint8_t* outline = nullptr;
        size_t size = 0;
        int phaseX = 0;
        int phaseY = 0;
        TScanParams params;
    };

    // The glyph's records (ended by a kEndOfGlyph record), or null when it is not cached.
    const TSpanRecord* Find(const TKey& key) const;
    // Starts recording the glyph of key (which must not be cached): Append its records,
    // then End. Clears the cache first when it is over its limit.
    void Begin(const TKey& key);
    void Append(const TSpanRecord& record) { mRecords.push_back(record); }
    void End();
    void Clear();

    size_t GetGlyphCount() const { return mEntries.size(); }
    size_t GetRecordCount() const { return mRecords.size(); }
    size_t GetByteCount() const;

private:
    // The scan parameters and phases as compared: every byte counts.
    struct TShape
    {
        float values[6];
        int32_t phaseX;
        int32_t phaseY;
        int32_t italic;
    };

    struct TEntry
    {
        TShape shape;
        uint64_t hash;
        size_t outlineAt; // in mOutlines
        size_t outlineSize;
        size_t firstRecord;
        int32_t next; // entry with the same hash, or -1
    };

    static TShape ShapeOf(const TKey& key);
    static uint64_t Hash(const TKey& key, const TShape& shape);
    bool Matches(const TEntry& entry, const TKey& key, const TShape& shape) const;
    int32_t& Head(uint64_t hash);
    void Rehash(size_t buckets);

    std::vector<int32_t> mHeads; // first entry of each bucket (a power of two of them)
    std::vector<TEntry> mEntries;
    std::vector<uint8_t> mOutlines;
    std::vector<TSpanRecord> mRecords;
};
