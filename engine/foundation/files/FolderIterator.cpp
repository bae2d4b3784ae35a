#include "engine/foundation/files/FolderIterator.h"

#include "engine/platform/TFileSystem.h"

#include <algorithm>

namespace {

constexpr size_t kMaxFolderName = 255;

} // namespace

void FolderIterator::FindFiles(const TString& folder)
{
    mEntries.clear();
    mNext = 0;
    std::string path(folder.CStr(), std::min<size_t>(folder.Length(), kMaxFolderName));
    std::replace(path.begin(), path.end(), '\\', '/');
    std::vector<TFileSystem::TFolderEntry> entries;
    if (!TFileSystem::Get().ListFolder(path, entries)) {
        return;
    }
    for (const TFileSystem::TFolderEntry& entry : entries) {
        mEntries.push_back({entry.name, entry.isFolder});
    }
}

bool FolderIterator::Next(TString& name, bool* isFolder)
{
    while (mNext < mEntries.size()) {
        const TEntry& entry = mEntries[mNext++];
        if (isFolder == nullptr && entry.isFolder) {
            continue;
        }
        if (isFolder != nullptr) {
            *isFolder = entry.isFolder;
        }
        name = TString(entry.name.c_str());
        return true;
    }
    return false;
}
