#include "engine/platform/TPlatformLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

std::atomic<TPlatformLog::TSink> sSink{nullptr};

} // namespace

void TPlatformLog::SetSink(TSink sink)
{
    sSink.store(sink);
}

void TPlatformLog::Write(const char* format, ...)
{
    char line[1024];
    const int tagLength = snprintf(line, sizeof line, "%s", kTag);
    va_list args;
    va_start(args, format);
    vsnprintf(line + tagLength, sizeof line - static_cast<size_t>(tagLength), format, args);
    va_end(args);
    TSink sink = sSink.load();
    if (sink != nullptr) {
        sink(line);
        return;
    }
    fprintf(stderr, "%s\n", line);
}
