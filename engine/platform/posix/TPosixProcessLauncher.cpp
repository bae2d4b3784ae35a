#include "engine/platform/posix/TPosixProcessLauncher.h"

#include "engine/platform/TPlatformLog.h"

#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

bool TPosixProcessLauncher::Start(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments[0].empty())
        return false;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        TPlatformLog::Write("process: cannot start %s: %s", argv[0], strerror(error));
        return false;
    }
    // Nobody waits for the program's end; this keeps it from staying a zombie.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}
