#pragma once
// Numbers on the tools' command lines, read strictly: the whole text must be the number
// ("5x", "", " 5" and "abc" are not), it must lie in the option's range, and a number
// that is not refused by its option's name ("--seconds", "FRAMES") with the range it
// takes, so a mistyped value never turns into 0 or a wrapped-around value silently.

#include <cstdint>

// A whole number in decimal or, after "0x", hexadecimal; a leading "-" only where min
// is negative. False when text is not one, or lies outside min..max.
bool ParseWholeNumber(const char* text, int64_t min, int64_t max, int64_t& value);

// A finite decimal number such as "1.5", "-3" or "2e3". False when text is not one, or
// lies outside min..max.
bool ParseNumber(const char* text, double min, double max, double& value);

// ParseWholeNumber, or prints
//   "<tool>: <name> must be a whole number from <min> to <max>, not "<text>""
// on the standard error stream and returns false.
bool ReadWholeNumber(const char* tool, const char* name, const char* text, int64_t min, int64_t max,
                     int64_t& value);

// ParseNumber, or prints "<tool>: <name> must be a number from <min> to <max>, not "<text>"".
bool ReadNumber(const char* tool, const char* name, const char* text, double min, double max,
                double& value);
