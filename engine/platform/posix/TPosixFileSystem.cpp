#include "engine/platform/posix/TPosixFileSystem.h"

#include "engine/platform/posix/TPosixMappedFile.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string StripTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

} // namespace

bool TPosixFileSystem::IsReadable(const std::string& path)
{
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

bool TPosixFileSystem::IsReadWritable(const std::string& path)
{
    return !path.empty() && access(path.c_str(), R_OK | W_OK) == 0;
}

bool TPosixFileSystem::IsFolder(const std::string& path)
{
    struct stat info
    {
    };
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool TPosixFileSystem::IsSpecialFile(const std::string& path)
{
    struct stat info
    {
    };
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) &&
           !S_ISREG(info.st_mode);
}

bool TPosixFileSystem::MakeFolder(const std::string& path)
{
    return !path.empty() && mkdir(path.c_str(), 0755) == 0;
}

bool TPosixFileSystem::ListFolder(const std::string& path, std::vector<TFolderEntry>& entries)
{
    entries.clear();
    DIR* dir = opendir(path.empty() ? "." : path.c_str());
    if (dir == nullptr) {
        return false;
    }
    const std::string base = path.empty() ? std::string() : StripTrailingSlashes(path) + "/";
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        const std::string full = base + entry->d_name;
        struct stat info
        {
        };
        if (lstat(full.c_str(), &info) != 0) {
            continue;
        }
        if (S_ISLNK(info.st_mode)) {
            // Follow links to files only: a link to a folder could close a cycle.
            if (stat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
                continue;
            }
        }
        if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) {
            continue;
        }
        entries.push_back({entry->d_name, S_ISDIR(info.st_mode)});
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const TFolderEntry& a, const TFolderEntry& b) { return a.name < b.name; });
    return true;
}

std::unique_ptr<TMappedFile> TPosixFileSystem::MapReadOnly(const std::string& path)
{
    return TPosixMappedFile::Map(path);
}
