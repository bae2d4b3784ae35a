// What the running program costs at a screen that does not change: the engine's event
// loop (the event pump waiting for input or the next due work, message delivery, the
// window manager's frame check) over the root screen, for 10 s of wall time, once with
// the application active and once inactive. Reported: the CPU share of one core the
// whole process took (every thread), the idle turns per second, the wake-ups per second
// of the loop's thread and of the whole process (the times a thread waited and was woken
// again), and the frames drawn (1: the first picture); the label names SDL's video
// driver. SDL's dummy driver polls every millisecond inside its wait, so unless
// SDL_VIDEODRIVER chooses a driver the benchmark runs itself on an X server of its own
// (xvfb-run) with SDL's X11 driver, and on the dummy driver only without xvfb-run.

#include "bench/support/BenchRun.h"
#include "bench/support/TTempFolder.h"
#include "bench/support/UnderXvfb.h"
#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/ui/manager/TPlatformWindowHost.h"
#include "engine/ui/manager/TWindowManager.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

constexpr double kSeconds = 10.0;

// The platform's host with the application's activity fixed.
class TFixedActivityHost final : public TPlatformWindowHost
{
public:
    explicit TFixedActivityHost(bool active) : mActive(active) {}
    bool IsActive() override { return mActive; }

private:
    bool mActive;
};

double Seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The times the calling thread (RUSAGE_THREAD) or the whole process (RUSAGE_SELF) gave
// up the processor to wait.
long Waits(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_nvcsw;
}

struct TRun
{
    double wall = 0;
    double cpu = 0;
    long idleTurns = 0;
    long loopWakeUps = 0;
    long processWakeUps = 0;
    int frames = 0;
    std::string driver;
};

TRun sRun;

int StaticScreen(TPlatform* platform, const char*)
{
    platform->SetDisplay(800, 600, false);
    TWindowManager* windows = GetWindowManager();
    const char* driver = SDL_GetCurrentVideoDriver();
    sRun.driver = driver != nullptr ? driver : "?";
    if (IsUnderXvfb())
        sRun.driver += " under Xvfb";
    TEvent event;
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    const double cpuStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const long loopStart = Waits(RUSAGE_THREAD);
    const long processStart = Waits(RUSAGE_SELF);
    while (Seconds(CLOCK_MONOTONIC) - wallStart < kSeconds) {
        platform->GetEvent(event);
        windows->HandleEvent(event);
        if (event.type == TEvent::kIdle)
            ++sRun.idleTurns;
    }
    sRun.loopWakeUps = Waits(RUSAGE_THREAD) - loopStart;
    sRun.processWakeUps = Waits(RUSAGE_SELF) - processStart;
    sRun.cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    sRun.wall = Seconds(CLOCK_MONOTONIC) - wallStart;
    sRun.frames = windows->GetFrameCount();
    return 0;
}

// One working folder (with an empty "assets") and one data home for every run, removed
// when the program ends.
class TBenchFolder
{
public:
    TBenchFolder() : mFolder("velmora_bench")
    {
        if (Root().empty())
            return;
        fs::create_directories(Root() / "assets");
        setenv("XDG_DATA_HOME", (Root() / "data").c_str(), 1);
    }
    const fs::path& Root() const { return mFolder.Root(); }

private:
    TTempFolder mFolder;
};

void RunStaticScreen(benchmark::State& state, bool active)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    static const TBenchFolder folder;
    if (folder.Root().empty()) {
        state.SkipWithError("cannot make a temporary folder");
        return;
    }
    const fs::path workingFolder = fs::current_path();
    InstallGraphics();
    TEngineSeams::Factories().windowManager = [active] {
        return std::make_unique<TWindowManager>(std::make_unique<TFixedActivityHost>(active));
    };

    for (auto _ : state) {
        sRun = TRun{};
        EngineMain(("-wd=\"" + folder.Root().string() + "\" --multiple").c_str(), 0, StaticScreen,
                   false);
        state.SetIterationTime(sRun.wall);
    }
    state.counters["% of one core"] = 100.0 * sRun.cpu / sRun.wall;
    state.counters["idle turns a second"] = static_cast<double>(sRun.idleTurns) / sRun.wall;
    state.counters["wake-ups a second"] = static_cast<double>(sRun.loopWakeUps) / sRun.wall;
    state.counters["wake-ups a second, all threads"] =
        static_cast<double>(sRun.processWakeUps) / sRun.wall;
    state.counters["frames drawn"] = sRun.frames;
    const std::string goal = "an unchanged screen costs next to nothing: under 1 % of one core "
                             "and under 50 wake-ups a second on X11, no frame after the first; "
                             "video driver " +
                             sRun.driver;
    SetGoal(state, goal.c_str());

    TEngineSeams::Factories() = TEngineSeams::TFactories{};
    fs::current_path(workingFolder);
}

void BM_StaticScreenActive(benchmark::State& state)
{
    RunStaticScreen(state, true);
}

void BM_StaticScreenInactive(benchmark::State& state)
{
    RunStaticScreen(state, false);
}

BENCHMARK(BM_StaticScreenActive)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_StaticScreenInactive)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    RunUnderXvfb(argc, argv);
    return RunBenchmarks(argc, argv);
}
