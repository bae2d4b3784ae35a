#include "game/core/data/HighScoreEntry.h"

#include "game/core/data/RecordReader.h"
#include "game/core/data/RecordWriter.h"

#include <algorithm>
#include <cstring>

namespace YOLT::Core {

HighScoreEntry::HighScoreEntry(const TString& name, float score)
    : mName(name.Substr(0, static_cast<int>(kNameSize))), mScore(score)
{
}

std::array<uint8_t, HighScoreEntry::kSize> HighScoreEntry::ToBytes() const
{
    std::array<char, kNameSize + 1> name{};
    std::memcpy(name.data(), mName.CStr(),
                std::min(static_cast<size_t>(mName.Length()), kNameSize));
    RecordWriter writer(kSize);
    writer.Field(name);
    writer.Field(mScore);
    const std::vector<uint8_t> bytes = writer.Take();
    std::array<uint8_t, kSize> out;
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return out;
}

std::optional<HighScoreEntry> HighScoreEntry::FromBytes(const uint8_t* bytes, size_t size)
{
    if (bytes == nullptr || size != kSize)
        return std::nullopt;
    std::array<char, kNameSize + 1> name{};
    HighScoreEntry entry;
    RecordReader reader(bytes, size);
    reader.Field(name);
    reader.Field(entry.mScore);
    entry.mName = TString(name.data(), static_cast<int>(strnlen(name.data(), kNameSize)));
    return entry;
}

} // namespace YOLT::Core
