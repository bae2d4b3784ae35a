#include "engine/platform/TMachineInfo.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(TMachineInfoTest, HardwareAddressIsNonZeroAndRepeatable)
{
    uint8_t first[TMachineInfo::kHardwareAddressSize] = {};
    if (!TMachineInfo::GetFirstHardwareAddress(first))
        GTEST_SKIP() << "no network interface with a hardware address here";
    uint8_t zero[TMachineInfo::kHardwareAddressSize] = {};
    EXPECT_NE(std::memcmp(first, zero, sizeof(zero)), 0);
    uint8_t second[TMachineInfo::kHardwareAddressSize] = {};
    ASSERT_TRUE(TMachineInfo::GetFirstHardwareAddress(second));
    EXPECT_EQ(std::memcmp(first, second, sizeof(first)), 0);
}

TEST(TMachineInfoTest, RandomBytesDiffer)
{
    uint8_t a[16] = {};
    uint8_t b[16] = {};
    EXPECT_TRUE(TMachineInfo::GetRandomBytes(a, sizeof(a)));
    EXPECT_TRUE(TMachineInfo::GetRandomBytes(b, sizeof(b)));
    EXPECT_NE(std::memcmp(a, b, sizeof(a)), 0);
}

} // namespace
