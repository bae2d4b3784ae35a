#include "engine/platform/posix/TPosixFileSystem.h"

#include "engine/platform/posix/TPosixMappedFile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string StripTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string GetEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Expands a value of user-dirs.dirs: "$HOME/Desktop" or an absolute path, quoted.
std::string ExpandUserDir(std::string value, const std::string& home)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) {
        value = home + value.substr(5);
    }
    return value;
}

// Reads XDG_DESKTOP_DIR from the user-dirs.dirs file; empty when absent.
std::string ReadDesktopFromUserDirs(const std::string& home)
{
    std::string config = GetEnv("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = home + "/.config";
    }
    FILE* file = std::fopen((config + "/user-dirs.dirs").c_str(), "rb");
    if (file == nullptr) {
        return std::string();
    }
    std::string result;
    char line[1024];
    const char kKey[] = "XDG_DESKTOP_DIR=";
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        if (text.rfind(kKey, 0) == 0) {
            result = ExpandUserDir(text.substr(sizeof kKey - 1), home);
        }
    }
    std::fclose(file);
    return result;
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

bool TPosixFileSystem::MakeFolder(const std::string& path)
{
    return !path.empty() && mkdir(path.c_str(), 0755) == 0;
}

std::string TPosixFileSystem::GetFullPath(const std::string& path)
{
    if (path.empty()) {
        return std::string();
    }
    if (path.front() == '/') {
        return path;
    }
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) == nullptr) {
        return std::string();
    }
    std::string base(buffer);
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    return base + path;
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
        struct stat info {};
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

std::string TPosixFileSystem::GetDataHome()
{
    std::string data = GetEnv("XDG_DATA_HOME");
    if (!data.empty() && data.front() == '/') {
        return StripTrailingSlashes(data);
    }
    const std::string home = GetEnv("HOME");
    if (home.empty()) {
        return std::string();
    }
    return StripTrailingSlashes(home) + "/.local/share";
}

std::string TPosixFileSystem::GetDesktopFolder()
{
    const std::string home = StripTrailingSlashes(GetEnv("HOME"));
    std::string desktop = GetEnv("XDG_DESKTOP_DIR");
    if (desktop.empty() && !home.empty()) {
        desktop = ReadDesktopFromUserDirs(home);
    }
    if (!desktop.empty() && IsFolder(desktop)) {
        return StripTrailingSlashes(desktop);
    }
    if (!home.empty() && IsFolder(home + "/Desktop")) {
        return home + "/Desktop";
    }
    return std::string();
}

std::unique_ptr<TMappedFile> TPosixFileSystem::MapReadOnly(const std::string& path)
{
    return TPosixMappedFile::Map(path);
}
