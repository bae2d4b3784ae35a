#include "engine/platform/TProcessLauncher.h"

#include "engine/platform/posix/TPosixProcessLauncher.h"

bool TProcessLauncher::Start(const std::vector<std::string>& arguments)
{
    return TPosixProcessLauncher::Start(arguments);
}
