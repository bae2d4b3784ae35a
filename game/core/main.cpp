#include "engine/foundation/DebugLog.h"
#include "engine/platform/TSystemPaths.h"

#include <filesystem>
#include <string>
#include <system_error>

// NOTE: a temporary start-up until the engine's own entry exists: it only opens the
// debug log in the per-user data folder, writes one line and exits.
int main()
{
    const std::string dataHome = TSystemPaths::GetDataHome();
    std::string folder;
    if (!dataHome.empty()) {
        std::error_code error;
        std::filesystem::create_directories(dataHome, error);
        folder = dataHome + "velmora";
    }
    InitLog(folder.c_str());
    TraceLog("velmora: temporary start-up, the engine's entry is not built yet; exiting");
    return 0;
}
