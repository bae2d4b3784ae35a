#pragma once

#include <string>
#include <vector>

// Starts other programs. No shell is involved: every argument reaches the program as
// one argument, whatever blanks or quotes it holds.
class TProcessLauncher
{
public:
    // Starts arguments[0] (looked up on the PATH) with the rest as its arguments and does
    // not wait for it. False with a log line when it cannot be started.
    static bool Start(const std::vector<std::string>& arguments);
};
