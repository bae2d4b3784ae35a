#include "engine/foundation/files/TMemoryFile.h"

#include "engine/foundation/files/TPathMap.h"

#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>

TString TMemoryFile::MakeLocation(const void* address, size_t length)
{
    return TString::Printf("&%" PRIuPTR ",%zu", reinterpret_cast<uintptr_t>(address), length);
}

bool TMemoryFile::Open(const TString& location, TFileMode mode)
{
    Close();
    if (mode != kFileReadBinary && mode != kFileReadText) {
        return false;
    }
    const char* text = location.CStr();
    const char* comma = std::strchr(text, ',');
    if (text[0] != '&' || comma == nullptr) {
        return false;
    }
    const uintptr_t address = std::strtoull(text + 1, nullptr, 10);
    const uint64_t length = std::strtoull(comma + 1, nullptr, 10);
    if (address == 0) {
        return false;
    }
    SetWindow(reinterpret_cast<const uint8_t*>(address), length, mode);
    return true;
}

size_t TMemoryFile::Read(void* buffer, size_t count)
{
    bool shortRead = false;
    return ReadWindow(buffer, count, shortRead);
}

void RegisterMemoryFile(const TString& name, const void* address, size_t length)
{
    TString key = name;
    key.MakeLower();
    if (address == nullptr) {
        TPathMap::Get().Remove(key);
        return;
    }
    TPathMap::Get().Set(key, TMemoryFile::MakeLocation(address, length));
}
