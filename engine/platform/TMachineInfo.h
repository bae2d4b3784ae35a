#pragma once

#include <cstddef>
#include <cstdint>

// Facts about the machine that the engine derives identifiers from.
// Implemented in engine/platform/posix/.
class TMachineInfo
{
public:
    static constexpr size_t kHardwareAddressSize = 6;

    // The hardware (MAC) address of the first network interface in name order that is not
    // a loopback interface and whose address is not all zero. False when there is none or
    // the interface list cannot be read; address is then left as it was.
    static bool GetFirstHardwareAddress(uint8_t address[kHardwareAddressSize]);

    // Fills out with n bytes from the system's random source. False (with a log-free
    // fallback already applied: a mix of clock and process facts) only when that source
    // fails, which callers may treat as "less random", never as an error.
    static bool GetRandomBytes(void* out, size_t n);
};
