#include "engine/foundation/DataFolders.h"

#include "engine/platform/TFileSystem.h"

#include <cstring>
#include <string>

namespace {

void CopyOut(const std::string& text, char* buffer)
{
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

} // namespace

int GetUserDataFolder(bool allUsers, const char* gameFolder, const char* publisher, char* buffer,
                      int bufferSize)
{
    if (gameFolder == nullptr || buffer == nullptr) {
        return -1;
    }
    TFileSystem& fileSystem = TFileSystem::Get();
    std::string special = fileSystem.GetDataHome();
    if (special.empty()) {
        return -1;
    }
    special = fileSystem.GetFullPath(special);
    if (special.empty()) {
        return -1;
    }
    if (special.back() != '/') {
        special += '/';
    }
    std::string publisherFolder = publisher != nullptr ? publisher : kDefaultPublisher;
    if (!publisherFolder.empty()) {
        publisherFolder += '/';
    }
    if (allUsers) {
        publisherFolder += "common/";
    }
    const std::string gamePart = std::string(gameFolder) + "/";
    const std::string folder = special + publisherFolder + gamePart;
    const size_t needed = folder.size() + 1;
    if (bufferSize < 0 || static_cast<size_t>(bufferSize) < needed) {
        return static_cast<int>(needed);
    }
    // Create every missing level; existing ones are fine.
    for (size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        if (!fileSystem.IsReadable(level)) {
            fileSystem.MakeFolder(level);
        }
    }
    CopyOut(folder, buffer);
    return 0;
}

int GetSpecialFolderPath(char* buffer, int bufferSize)
{
    if (buffer == nullptr) {
        return -1;
    }
    std::string desktop = TFileSystem::Get().GetDesktopFolder();
    if (desktop.empty()) {
        return -1;
    }
    desktop += '/';
    if (bufferSize < 0 || static_cast<size_t>(bufferSize) <= desktop.size()) {
        return static_cast<int>(desktop.size());
    }
    CopyOut(desktop, buffer);
    return 0;
}

TString GetFullPath(const TString& path)
{
    return TString(TFileSystem::Get().GetFullPath(path.CStr()).c_str());
}
