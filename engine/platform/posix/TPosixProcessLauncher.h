#pragma once

#include <string>
#include <vector>

// Program start through posix_spawnp; the child is reaped by a detached thread.
class TPosixProcessLauncher final
{
public:
    static bool Start(const std::vector<std::string>& arguments);
};
