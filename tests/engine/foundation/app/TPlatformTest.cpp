#include "engine/foundation/app/TPlatform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(TPlatform, UniqueIdsAreVersionFourAndDiffer)
{
    uint8_t first[16];
    uint8_t second[16];
    MakeUniqueId(first);
    MakeUniqueId(second);
    for (const uint8_t* id : {first, second}) {
        EXPECT_EQ(id[6] >> 4, 4);
        EXPECT_EQ(id[8] >> 6, 2);
    }
    EXPECT_NE(std::memcmp(first, second, 16), 0);
}

TEST(TPlatform, NoFacadeOutsideTheEngine)
{
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    EXPECT_FALSE(IsDisplayReady());
}

} // namespace
