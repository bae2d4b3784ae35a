#include "engine/foundation/app/MachineId.h"

#include "engine/platform/TMachineInfo.h"

#include <gtest/gtest.h>

namespace {

void ExpectWellFormed(const TString& id)
{
    ASSERT_EQ(id.Length(), 16);
    for (int i = 0; i < 16; i += 2) {
        EXPECT_GE(id.CharAt(i), '@');
        EXPECT_LE(id.CharAt(i), '_');
        EXPECT_GE(id.CharAt(i + 1), 'B');
        EXPECT_LE(id.CharAt(i + 1), 'P');
    }
}

TEST(MachineIdTest, DerivesFromTheAddressBytes)
{
    const uint8_t zero[6] = {};
    EXPECT_EQ(MachineIdFromAddress(zero), TString("@B@C@D@E@F@G@H@I"));
    // a = 00 11 22 33 44 55 33 44: pairs 00^11, 11^22, 22^33, 33^44, 44^55, 55^33, 33^44, 44^00.
    const uint8_t address[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    EXPECT_EQ(MachineIdFromAddress(address), TString("QBSDQDWHQFFJWKDK"));
    const uint8_t ones[6] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    ExpectWellFormed(MachineIdFromAddress(ones));
}

TEST(MachineIdTest, IsWellFormedAndStable)
{
    TString first = GetMachineId();
    ExpectWellFormed(first);
    // A machine without a usable adapter gets random bytes, so stability holds only there.
    uint8_t address[TMachineInfo::kHardwareAddressSize];
    if (TMachineInfo::GetFirstHardwareAddress(address)) {
        EXPECT_EQ(GetMachineId(), first);
    }
}

} // namespace
