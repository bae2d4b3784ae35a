#pragma once

// New GUIDs: 16 bytes from the system's random source with the version-4 and variant-1
// bits set (the layout of RFC 4122: the fields Data1, Data2, Data3 and Data4 in that
// order, most significant byte first, so the version is the high half of byte 6 and the
// variant the top two bits of byte 8). The platform's unique ids and the machine
// identifier's fallback come from here.

#include <cstddef>
#include <cstdint>

constexpr size_t kGuidSize = 16;

// Fills guid with a new GUID. Should the random source fail, the bytes come from a
// weaker mix of clock and process facts; the call itself never fails.
void CreateGuid(uint8_t guid[kGuidSize]);
