#include "engine/foundation/core/CreateGuid.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

// Every GUID carries the version and variant bits, and a run of them holds no repeat and
// no byte position stuck at one value (apart from the fixed bits).
TEST(CreateGuid, VersionFourGuidsThatDiffer)
{
    constexpr int kCount = 64;
    std::set<std::array<uint8_t, kGuidSize>> seen;
    std::array<std::set<uint8_t>, kGuidSize> valuesAt;
    for (int i = 0; i < kCount; ++i) {
        std::array<uint8_t, kGuidSize> guid{};
        CreateGuid(guid.data());
        EXPECT_EQ(guid[6] >> 4, 4);
        EXPECT_EQ(guid[8] >> 6, 2);
        seen.insert(guid);
        for (size_t b = 0; b < kGuidSize; ++b)
            valuesAt[b].insert(guid[b]);
    }
    EXPECT_EQ(seen.size(), size_t(kCount));
    for (size_t b = 0; b < kGuidSize; ++b)
        EXPECT_GT(valuesAt[b].size(), 1u) << "byte " << b;
}

} // namespace
