#include "tools/support/ToolOptions.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool ParseWholeNumber(const char* text, int64_t min, int64_t max, int64_t& value)
{
    const char* at = text;
    const bool negative = *at == '-' && min < 0;
    if (negative)
        ++at;
    int base = 10;
    if (at[0] == '0' && (at[1] == 'x' || at[1] == 'X')) {
        base = 16;
        at += 2;
    }
    const char* end = at + std::strlen(at);
    uint64_t magnitude = 0;
    // from_chars takes no sign and no "0x" of its own, so none can slip in twice.
    if (at == end || *at == '-' || *at == '+')
        return false;
    const std::from_chars_result read = std::from_chars(at, end, magnitude, base);
    if (read.ec != std::errc() || read.ptr != end || magnitude > uint64_t{INT64_MAX})
        return false;
    const int64_t number =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (number < min || number > max)
        return false;
    value = number;
    return true;
}

bool ParseNumber(const char* text, double min, double max, double& value)
{
    // strtod would also take blanks in front, "inf", "nan" and hexadecimal numbers.
    const size_t length = std::strlen(text);
    if (length == 0 || std::strspn(text, "+-.0123456789eE") != length)
        return false;
    char* end = nullptr;
    const double number = std::strtod(text, &end);
    if (end != text + length || !std::isfinite(number) || number < min || number > max)
        return false;
    value = number;
    return true;
}

bool ReadWholeNumber(const char* tool, const char* name, const char* text, int64_t min, int64_t max,
                     int64_t& value)
{
    if (ParseWholeNumber(text, min, max, value))
        return true;
    std::fprintf(stderr,
                 "%s: %s must be a whole number from %" PRId64 " to %" PRId64 ", not \"%s\"\n",
                 tool, name, min, max, text);
    return false;
}

bool ReadNumber(const char* tool, const char* name, const char* text, double min, double max,
                double& value)
{
    if (ParseNumber(text, min, max, value))
        return true;
    std::fprintf(stderr, "%s: %s must be a number from %g to %g, not \"%s\"\n", tool, name, min,
                 max, text);
    return false;
}
