#pragma once

#include <string>

// Where things are on this system. Folders are returned with a trailing "/".
class TSystemPaths
{
public:
    // Full path of the running executable; "" when the system does not say.
    static std::string GetExecutablePath();

    // The folder part of GetExecutablePath, with its trailing "/".
    static std::string GetExecutableFolder();

    // The process's working folder, with a trailing "/"; "" when unreadable.
    static std::string GetWorkingFolder();

    // Changes the working folder; false with a log line on failure, and the reason in
    // reason when given.
    static bool SetWorkingFolder(const std::string& folder, std::string* reason = nullptr);

    // $XDG_RUNTIME_DIR when set and absolute, else "/tmp/".
    static std::string GetRuntimeFolder();

    // $XDG_DATA_HOME when set and absolute, else $HOME/.local/share/; "" without a home.
    static std::string GetDataHome();

    // The desktop: $XDG_DESKTOP_DIR, else the XDG_DESKTOP_DIR line of
    // $XDG_CONFIG_HOME/user-dirs.dirs, else $HOME/Desktop/; "" when none exists.
    static std::string GetDesktopFolder();
};
