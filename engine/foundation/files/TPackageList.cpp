#include "engine/foundation/files/TPackageList.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/LittleEndian.h"
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/files/TFlatFileMap.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/platform/TFileSystem.h"

#include <cstring>

namespace {

struct TPackageEntry
{
    TString name;
    uint32_t offset = 0;
    uint32_t length = 0;
};

constexpr int kDirectoryHeaderSize = 8;
constexpr int kSmallestEntrySize = 9; // empty name, offset, length

bool ReadU32(TFile& file, uint32_t& value)
{
    uint8_t bytes[4];
    if (file.Read(bytes, 4) != 4) {
        return false;
    }
    value = ReadLE32(bytes);
    return true;
}

bool ReadEntry(TFile& file, TPackageEntry& entry)
{
    uint8_t nameLength = 0;
    char name[256];
    if (file.Read(&nameLength, 1) != 1 || file.Read(name, nameLength) != nameLength) {
        return false;
    }
    entry.name = TString(name, nameLength);
    entry.name.MakeLower();
    return ReadU32(file, entry.offset) && ReadU32(file, entry.length);
}

// Reads the whole directory; false when it is cut short.
bool ReadDirectory(TFile& file, const TString& path, std::vector<TPackageEntry>& entries)
{
    uint32_t rawCount = 0;
    if (!ReadU32(file, rawCount)) {
        TraceLog("package: %s: directory cut short", path.CStr());
        return false;
    }
    const int32_t count = static_cast<int32_t>(rawCount);
    if (count <= 0) {
        return true;
    }
    const int64_t room = file.GetSize() - kDirectoryHeaderSize;
    if (static_cast<int64_t>(count) * kSmallestEntrySize > room) {
        TraceLog("package: %s: %d entries do not fit the file", path.CStr(), count);
        return false;
    }
    entries.resize(count);
    for (TPackageEntry& entry : entries) {
        if (!ReadEntry(file, entry)) {
            TraceLog("package: %s: directory cut short", path.CStr());
            return false;
        }
    }
    return true;
}

bool EntryFits(const TPackageEntry& entry, uint64_t size)
{
    return entry.offset <= size && entry.length <= size - entry.offset;
}

} // namespace

TPackageList& TPackageList::Get()
{
    static TPackageList sInstance;
    return sInstance;
}

const TFileMapHandler* TPackageList::At(long index) const
{
    if (index < 0 || index >= static_cast<long>(mHandlers.size())) {
        return nullptr;
    }
    return &mHandlers[index];
}

int TPackageList::Find(const TString& path) const
{
    for (size_t i = 0; i < mHandlers.size(); ++i) {
        if (mHandlers[i].GetPath() == path) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TPackageList::Put(int index, const TFileMapHandler& handler)
{
    if (index >= 0 && index < GetCount()) {
        mHandlers[index] = handler;
    } else {
        mHandlers.push_back(handler);
    }
}

bool LoadPackageDirectory(TPathMap& map, const TString& packagePath)
{
    TPackageList& packages = TPackageList::Get();
    const int known = packages.Find(packagePath);
    const int index = known >= 0 ? known : packages.GetCount();

    TFile file;
    if (!file.Open(packagePath, kFileReadBinary)) {
        return false;
    }
    char magic[4] = {'X', 'X', 'X', 'X'};
    file.Read(magic, 4);
    if (std::memcmp(magic, "HVPK", 4) != 0) {
        return false;
    }
    std::vector<TPackageEntry> entries;
    if (!ReadDirectory(file, packagePath, entries)) {
        return false;
    }

    TFileMapHandler handler;
    uint64_t size = static_cast<uint64_t>(file.GetSize());
    if (handler.Open(packagePath)) {
        size = handler.GetSize(); // the bytes entries are read from
    } else {
        TraceLog("Failed to open flat file %s", packagePath.CStr());
    }
    for (const TPackageEntry& entry : entries) {
        if (!EntryFits(entry, size)) {
            TraceLog("package: %s: entry %s (offset %u, length %u) lies outside the file, skipped",
                     packagePath.CStr(), entry.name.CStr(), entry.offset, entry.length);
            continue;
        }
        map.Set(entry.name, TFlatFileMap::MakeLocation(index, entry.offset, entry.length));
    }
    packages.Put(index, handler);
    return true;
}

void RegisterPackages(const TString& diskFolder)
{
    std::vector<TFileSystem::TFolderEntry> entries;
    if (!TFileSystem::Get().ListFolder(diskFolder.CStr(), entries)) {
        return;
    }
    for (const TFileSystem::TFolderEntry& entry : entries) {
        if (!entry.isFolder && entry.name.find(".hvp") != std::string::npos) {
            LoadPackageDirectory(TPathMap::Get(),
                                 TString("::assets/") + TString(entry.name.c_str()));
        }
    }
}
