#pragma once

// A log line as a test looks for it: a named log text filled in as TraceLog and
// TPlatformLog::Write fill it.

#include <cstdarg>
#include <cstdio>
#include <string>

inline std::string LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

inline std::string LogLine(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}
