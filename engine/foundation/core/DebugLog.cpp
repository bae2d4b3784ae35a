#include "engine/foundation/core/DebugLog.h"

#include <cerrno>
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

enum class TLogTarget
{
    Off,
    File,
    StandardError
};

// The log's process-wide state; sMutex guards it and serialises whole lines.
std::mutex sMutex;
TLogTarget sTarget = TLogTarget::Off;
TString sPath;
long sPosition = 0;
bool sToldWhyNotFile = false; // since InitLog

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

void WriteToStandardError(const TString& message)
{
    fprintf(stderr, "%s\n", message.CStr());
    fflush(stderr);
}

// The file could not be opened with the given error number: the line goes to the
// standard error stream, the first time behind the reason.
void WriteInsteadOfFile(const TString& message, int error)
{
    if (!sToldWhyNotFile) {
        sToldWhyNotFile = true;
        WriteToStandardError(
            TString::Printf("log: cannot write %s: %s; log lines go to the standard "
                            "error stream",
                            sPath.CStr(), strerror(error)));
    }
    WriteToStandardError(message);
}

} // namespace

void InitLog(const char* folder)
{
    std::lock_guard<std::mutex> lock(sMutex);
    sPosition = 0;
    sToldWhyNotFile = false;
    if (!folder || !*folder) {
        sTarget = TLogTarget::Off;
        sPath = TString();
        return;
    }
    sTarget = TLogTarget::File;
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(folder, error) && fs::create_directory(folder, error))
        fs::permissions(folder, fs::perms(0755), error);
    sPath = TString(folder) + TString("/logfile.txt");
    fs::remove(sPath.CStr(), error);
}

void InitLogOnStandardError()
{
    std::lock_guard<std::mutex> lock(sMutex);
    sTarget = TLogTarget::StandardError;
    sPath = TString();
    sPosition = 0;
}

void TraceLog(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const TString message = TString::Format(format, args);
    va_end(args);

    std::lock_guard<std::mutex> lock(sMutex);
    if (sTarget == TLogTarget::Off)
        return;
    if (sTarget == TLogTarget::StandardError) {
        WriteToStandardError(message);
        return;
    }
    FILE* file = fopen(sPath.CStr(), "r+b");
    if (!file && errno == ENOENT)
        file = fopen(sPath.CStr(), "wb");
    if (!file) {
        WriteInsteadOfFile(message, errno);
        return;
    }
    WriteLine(file, LocalTimeText() + TString(": ") + message + '\n');
    fclose(file);
}

TString GetLogPath()
{
    std::lock_guard<std::mutex> lock(sMutex);
    return sPath;
}
