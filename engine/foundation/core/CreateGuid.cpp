#include "engine/foundation/core/CreateGuid.h"

#include "engine/platform/TMachineInfo.h"

void CreateGuid(uint8_t guid[kGuidSize])
{
    TMachineInfo::GetRandomBytes(guid, kGuidSize);
    guid[6] = static_cast<uint8_t>((guid[6] & 0x0f) | 0x40); // version 4: random
    guid[8] = static_cast<uint8_t>((guid[8] & 0x3f) | 0x80); // variant 1
}
