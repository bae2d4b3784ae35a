// The game's start, as a player meets it: the time from starting the game's process to
// its first drawn frame (the demonstration menu), and the memory the process holds at
// that frame. Each iteration starts build/release's velmora as a child process with a
// data folder of its own and VELMORA_FIRST_FRAME=1, which makes the game print one line
// once the first frame is shown; the clock runs from just before the child is made to
// that line. The resident set (VmRSS) and the shared libraries mapped are then read from
// the child's /proc entries, and the child is asked to end (SIGTERM).
//
// Reported: the first frame's time (the wall time column, and "first frame ms", the
// slowest of the runs), "resident MB" at the first frame (the largest), and "GL libraries
// mapped" (libGL, libEGL, libLLVM or a Mesa *_dri.so; 0 when frames are shown without a
// GL stack). Unless SDL_VIDEODRIVER chooses a driver, the benchmark runs itself on an X
// server of its own (xvfb-run) with SDL's X11 driver; the label names the driver.

#include "bench/support/BenchRun.h"
#include "bench/support/TTempFolder.h"
#include "bench/support/UnderXvfb.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kPatienceMs = 30000;

double Milliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct TStart
{
    bool shown = false;
    std::string error;
    double milliseconds = 0;
    double residentMb = 0;
    std::set<std::string> glLibraries;
};

// The game's resident set in MB, from the VmRSS line of its status.
double ResidentMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

bool IsGlLibrary(const std::string& name)
{
    for (const char* part : {"libGL", "libEGL", "libLLVM", "_dri.so"}) {
        if (name.find(part) != std::string::npos)
            return true;
    }
    return false;
}

// The GL stack's libraries among those the game has mapped.
std::set<std::string> GlLibraries(pid_t pid)
{
    std::set<std::string> found;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const size_t slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        const std::string path = line.substr(slash);
        const std::string name = path.substr(path.rfind('/') + 1);
        if (IsGlLibrary(name))
            found.insert(name);
    }
    return found;
}

// Reads the child's standard output until the first-frame line; false when the child
// ended or the patience ran out before it.
bool WaitForFirstFrame(int output)
{
    std::string text;
    const double deadline = Milliseconds() + kPatienceMs;
    while (Milliseconds() < deadline) {
        pollfd ready = {output, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t count = read(output, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        text.append(buffer, static_cast<size_t>(count));
        if (text.find("first frame:") != std::string::npos && text.find('\n') != std::string::npos)
            return true;
    }
    return false;
}

TStart StartGame(const std::filesystem::path& dataFolder)
{
    TStart start;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        start.error = "no pipe";
        return start;
    }
    const double before = Milliseconds();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDERR_FILENO);
        setenv("VELMORA_FIRST_FRAME", "1", 1);
        setenv("XDG_DATA_HOME", dataFolder.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dataFolder.c_str(), 1);
        execl(VELMORA_GAME, VELMORA_GAME, "--multiple", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    if (pid < 0) {
        close(pipeEnds[0]);
        start.error = "cannot start the game";
        return start;
    }
    start.shown = WaitForFirstFrame(pipeEnds[0]);
    start.milliseconds = Milliseconds() - before;
    if (start.shown) {
        start.residentMb = ResidentMb(pid);
        start.glLibraries = GlLibraries(pid);
    } else {
        start.error = "the game showed no frame (see its log in a data folder of its own)";
    }
    kill(pid, SIGTERM);
    close(pipeEnds[0]);
    waitpid(pid, nullptr, 0);
    return start;
}

std::string DriverName()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    std::string name = driver != nullptr ? driver : "SDL's choice";
    if (IsUnderXvfb())
        name += " under Xvfb";
    return name;
}

void BM_FirstFrame(benchmark::State& state)
{
    double slowest = 0;
    double largest = 0;
    std::set<std::string> glLibraries;
    for (auto _ : state) {
        // The game's data and its instance lock.
        const TTempFolder folder("velmora_startup");
        if (folder.Root().empty()) {
            state.SkipWithError("cannot make a temporary folder");
            return;
        }
        const TStart start = StartGame(folder.Root());
        if (!start.shown) {
            state.SkipWithError(start.error.c_str());
            return;
        }
        state.SetIterationTime(start.milliseconds / 1e3);
        slowest = std::max(slowest, start.milliseconds);
        largest = std::max(largest, start.residentMb);
        glLibraries.insert(start.glLibraries.begin(), start.glLibraries.end());
    }
    state.counters["first frame ms"] = slowest;
    state.counters["resident MB"] = largest;
    state.counters["GL libraries mapped"] = static_cast<double>(glLibraries.size());
    std::string goal = "first frame under 300 ms, under 48 MB resident at the menu, no GL "
                       "library mapped; video driver " +
                       DriverName();
    for (const std::string& library : glLibraries)
        goal += "; mapped " + library;
    SetGoal(state, goal.c_str());
}

BENCHMARK(BM_FirstFrame)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    RunUnderXvfb(argc, argv);
    return RunBenchmarks(argc, argv);
}
