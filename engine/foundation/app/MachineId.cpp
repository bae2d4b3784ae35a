#include "engine/foundation/app/MachineId.h"

#include "engine/foundation/core/CreateGuid.h"
#include "engine/platform/TMachineInfo.h"

TString GetMachineId()
{
    // Without an adapter a new GUID fills the address field (its first six bytes count).
    uint8_t address[kGuidSize] = {};
    if (!TMachineInfo::GetFirstHardwareAddress(address))
        CreateGuid(address);
    return MachineIdFromAddress(address);
}

TString MachineIdFromAddress(const uint8_t address[6])
{
    uint8_t a[8];
    for (int i = 0; i < 6; ++i)
        a[i] = address[i];
    a[6] = a[3];
    a[7] = a[4];
    char text[17];
    for (int i = 0; i < 8; ++i) {
        uint8_t x = a[i] ^ a[(i + 1) % 8];
        text[2 * i] = char(uint8_t((x & 31) + 64));
        text[2 * i + 1] = char(uint8_t((x >> 5) + i + 66));
    }
    text[16] = 0;
    return TString(text);
}
