#include "engine/foundation/DebugLog.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// The per-user data folder: $XDG_DATA_HOME/velmora, else ~/.local/share/velmora; empty
// when neither variable is set.
std::string UserDataFolder()
{
    const char* dataHome = getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome)
        return std::string(dataHome) + "/velmora";
    const char* home = getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.local/share/velmora";
    return std::string();
}

} // namespace

// NOTE: a temporary start-up until the engine's own entry exists: it only opens the
// debug log in the user data folder, writes one line and exits.
int main()
{
    const std::string folder = UserDataFolder();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), error);
    }
    InitLog(folder.c_str());
    TraceLog("velmora: temporary start-up, the engine's entry is not built yet; exiting");
    return 0;
}
