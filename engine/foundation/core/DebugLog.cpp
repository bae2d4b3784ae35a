#include "engine/foundation/core/DebugLog.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace {

constexpr long kWrapAt = 102401;
constexpr long kWrapTo = 51200;
constexpr char kWrapBanner[] =
    "\n\n\n\n ****************** LOG WRAP AROUND ******************\n\n\n\n";

// The log's process-wide state; sMutex guards both and serialises whole lines.
std::mutex sMutex;
TString sPath;
long sPosition = 0;

TString LocalTimeText()
{
    const time_t now = time(nullptr);
    char text[64] = {};
    if (!ctime_r(&now, text))
        return TString("?");
    const size_t len = strlen(text);
    if (len > 0 && text[len - 1] == '\n')
        text[len - 1] = '\0';
    return TString(text);
}

// Writes one finished line at the write position, wrapping first when due.
void WriteLine(FILE* file, const TString& line)
{
    if (sPosition < kWrapAt) {
        fseek(file, sPosition, SEEK_SET);
    } else {
        fseek(file, kWrapTo, SEEK_SET);
        sPosition = kWrapTo;
        fwrite(kWrapBanner, 1, sizeof kWrapBanner - 1, file);
    }
    fwrite(line.CStr(), 1, static_cast<size_t>(line.Length()), file);
    const long end = ftell(file);
    if (end >= 0)
        sPosition = end;
    fflush(file);
}

} // namespace

void InitLog(const char* folder)
{
    std::lock_guard<std::mutex> lock(sMutex);
    sPosition = 0;
    if (!folder || !*folder) {
        sPath = TString();
        return;
    }
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(folder, error) && fs::create_directory(folder, error))
        fs::permissions(folder, fs::perms(0755), error);
    sPath = TString(folder) + TString("/logfile.txt");
    fs::remove(sPath.CStr(), error);
}

void TraceLog(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const TString message = TString::Format(format, args);
    va_end(args);
    const TString line = LocalTimeText() + TString(": ") + message + '\n';

    std::lock_guard<std::mutex> lock(sMutex);
    if (sPath.Length() == 0)
        return;
    FILE* file = fopen(sPath.CStr(), "r+b");
    if (!file)
        file = fopen(sPath.CStr(), "wb");
    if (!file)
        return;
    WriteLine(file, line);
    fclose(file);
}

TString GetLogPath()
{
    std::lock_guard<std::mutex> lock(sMutex);
    return sPath;
}

int GetMemoryAllocated()
{
    return 0;
}
