#include "engine/foundation/files/DataFolders.h"

#include "engine/platform/TFileSystem.h"
#include "engine/platform/TSystemPaths.h"

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
    std::string special = TSystemPaths::GetDataHome(); // absolute, with a trailing "/"
    if (special.empty()) {
        return -1;
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
    const std::string desktop = TSystemPaths::GetDesktopFolder(); // with a trailing "/"
    if (desktop.empty()) {
        return -1;
    }
    if (bufferSize < 0 || static_cast<size_t>(bufferSize) <= desktop.size()) {
        return static_cast<int>(desktop.size());
    }
    CopyOut(desktop, buffer);
    return 0;
}

TString GetFullPath(const TString& path)
{
    if (path.Length() == 0 || path.CharAt(0) == '/') {
        return path;
    }
    const std::string working = TSystemPaths::GetWorkingFolder(); // with a trailing "/"
    if (working.empty()) {
        return TString();
    }
    return TString((working + path.CStr()).c_str());
}
