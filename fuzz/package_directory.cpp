// The package directory reader, over a memory file and over a mapped disk file, then
// every entry it registered is opened and read to its end in both modes.
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/files/TPackageList.h"
#include "engine/foundation/files/TPathMap.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string TempPackagePath()
{
    static const std::string path = "/tmp/velmora-fuzz-" + std::to_string(getpid()) + ".hvp";
    return path;
}

void ReadEveryEntry()
{
    std::vector<TString> keys;
    for (const auto& [key, location] : TPathMap::Get().GetEntries()) {
        keys.push_back(key);
    }
    for (const TString& key : keys) {
        for (TFileMode mode : {kFileReadBinary, kFileReadText}) {
            TFile file;
            if (!file.Open(key, mode)) {
                continue;
            }
            char buffer[4096];
            while (file.Read(buffer, sizeof buffer) > 0) {
            }
            file.Seek(-1, kSeekEnd);
            file.Unget();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TPathMap& map = TPathMap::Get();
    map.Reset();
    TPackageList::Get().Clear();

    RegisterMemoryFile("fuzz.hvp", data != nullptr ? data : reinterpret_cast<const uint8_t*>(""),
                       size);
    LoadPackageDirectory(map, "fuzz.hvp");
    RegisterMemoryFile("fuzz.hvp", nullptr, 0);
    ReadEveryEntry();

    const std::string path = TempPackagePath();
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) {
            std::fwrite(data, 1, size, file);
        }
        std::fclose(file);
        LoadPackageDirectory(map, ("::" + path).c_str());
        LoadPackageDirectory(map, ("::" + path).c_str()); // a second registration reuses the index
        ReadEveryEntry();
        std::remove(path.c_str());
    }
    map.Reset();
    TPackageList::Get().Clear();
    return 0;
}
