#pragma once

// One line of the shared high-score table, stored as a block of 20 bytes under the
// shared preferences "hs0" to "hs4" (UserManager):
//
//   offset  size  content
//        0    15  player name, 8-bit characters, zero-padded (15 characters fill it)
//       15     1  always 0
//       16     4  float32 little-endian: the score (the player's total earnings)
//
// A name keeps at most its first 15 characters and reads back up to its first zero byte.

#include "engine/foundation/core/TString.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace YOLT::Core {

class HighScoreEntry
{
public:
    static constexpr size_t kSize = 20;
    static constexpr size_t kNameSize = 15;

    HighScoreEntry() = default;
    // name is cut to its first kNameSize characters.
    HighScoreEntry(const TString& name, float score);

    const TString& GetName() const { return mName; }
    float GetScore() const { return mScore; }

    std::array<uint8_t, kSize> ToBytes() const;
    // The entry stored in bytes; nothing unless size is exactly kSize.
    static std::optional<HighScoreEntry> FromBytes(const uint8_t* bytes, size_t size);

private:
    TString mName;
    float mScore = 0.0f;
};

} // namespace YOLT::Core
