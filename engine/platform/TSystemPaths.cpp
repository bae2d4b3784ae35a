#include "engine/platform/TSystemPaths.h"

#include "engine/platform/TPlatformLog.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

// The value of an environment variable when it is an absolute path, else "".
std::string AbsoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    return WithSlash(value);
}

std::string Home()
{
    return AbsoluteFromEnvironment("HOME");
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

// Reads XDG_DESKTOP_DIR="$HOME/Something" from user-dirs.dirs.
std::string DesktopFromUserDirs()
{
    std::string config = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (config.empty() && !Home().empty())
        config = Home() + ".config/";
    if (config.empty())
        return {};
    std::ifstream file(config + "user-dirs.dirs", std::ios::binary);
    std::string line;
    const std::string key = "XDG_DESKTOP_DIR=\"";
    while (std::getline(file, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        const size_t quote = value.find('"');
        if (quote == std::string::npos)
            return {};
        value.resize(quote);
        if (value.compare(0, 5, "$HOME") == 0)
            value = Home() + value.substr(value.size() > 5 && value[5] == '/' ? 6 : 5);
        return value.empty() || value[0] != '/' ? std::string() : WithSlash(value);
    }
    return {};
}

} // namespace

std::string TSystemPaths::GetExecutablePath()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string TSystemPaths::GetExecutableFolder()
{
    const std::string path = GetExecutablePath();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TSystemPaths::GetWorkingFolder()
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    return error ? std::string() : WithSlash(path.string());
}

bool TSystemPaths::SetWorkingFolder(const std::string& folder, std::string* reason)
{
    std::error_code error;
    std::filesystem::current_path(folder, error);
    if (error) {
        TPlatformLog::Write("folders: cannot change to %s: %s", folder.c_str(),
                            error.message().c_str());
        if (reason != nullptr)
            *reason = error.message();
        return false;
    }
    return true;
}

std::string TSystemPaths::GetRuntimeFolder()
{
    const std::string runtime = AbsoluteFromEnvironment("XDG_RUNTIME_DIR");
    return IsFolder(runtime) ? runtime : "/tmp/";
}

std::string TSystemPaths::GetDataHome()
{
    const std::string data = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (!data.empty())
        return data;
    return Home().empty() ? std::string() : Home() + ".local/share/";
}

std::string TSystemPaths::GetDesktopFolder()
{
    for (const std::string& candidate :
         {AbsoluteFromEnvironment("XDG_DESKTOP_DIR"), DesktopFromUserDirs(),
          Home().empty() ? std::string() : Home() + "Desktop/"}) {
        if (IsFolder(candidate))
            return candidate;
    }
    return {};
}
