#include "bench/support/UnderXvfb.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kMarker = "VELMORA_BENCH_XVFB";

} // namespace

void RunUnderXvfb(int argc, char** argv)
{
    if (std::getenv("SDL_VIDEODRIVER") != nullptr ||
        std::system("command -v xvfb-run > /dev/null 2>&1") != 0)
        return;
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    self[length] = 0;
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv(kMarker, "1", 1);
    std::vector<char*> arguments = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                    const_cast<char*>("-s"),
                                    const_cast<char*>("-screen 0 1280x1024x24"), self};
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    execvp("xvfb-run", arguments.data());
    unsetenv("SDL_VIDEODRIVER");
    unsetenv(kMarker);
}

bool IsUnderXvfb()
{
    return std::getenv(kMarker) != nullptr;
}
