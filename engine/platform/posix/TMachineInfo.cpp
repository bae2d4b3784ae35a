#include "engine/platform/TMachineInfo.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <map>
#include <net/if.h>
#include <string>
#include <sys/random.h>
#include <unistd.h>

namespace {

bool IsUsableAddress(const ifaddrs* entry)
{
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET)
        return false;
    if ((entry->ifa_flags & IFF_LOOPBACK) != 0)
        return false;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
    if (link->sll_halen < TMachineInfo::kHardwareAddressSize)
        return false;
    for (size_t i = 0; i < TMachineInfo::kHardwareAddressSize; ++i)
        if (link->sll_addr[i] != 0)
            return true;
    return false;
}

// A weak stand-in for the random source: only used when getrandom itself fails.
void FillFromClock(uint8_t* out, size_t n)
{
    uint64_t state = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                     (uint64_t(getpid()) << 32) ^
                     uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    for (size_t i = 0; i < n; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        out[i] = uint8_t(state >> 56);
    }
}

} // namespace

bool TMachineInfo::GetFirstHardwareAddress(uint8_t address[kHardwareAddressSize])
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    std::map<std::string, const ifaddrs*> byName;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next)
        if (entry->ifa_name != nullptr && IsUsableAddress(entry))
            byName.emplace(entry->ifa_name, entry);
    bool found = !byName.empty();
    if (found) {
        const auto* link = reinterpret_cast<const sockaddr_ll*>(byName.begin()->second->ifa_addr);
        std::memcpy(address, link->sll_addr, kHardwareAddressSize);
    }
    freeifaddrs(list);
    return found;
}

bool TMachineInfo::GetRandomBytes(void* out, size_t n)
{
    auto* bytes = static_cast<uint8_t*>(out);
    size_t done = 0;
    while (done < n) {
        ssize_t got = getrandom(bytes + done, n - done, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            FillFromClock(bytes + done, n - done);
            return false;
        }
        done += size_t(got);
    }
    return true;
}
