// What the running program costs at a screen that does not change: the engine's event
// loop (the event pump with its 1 ms idle wait, message delivery, the window manager's
// frame check) over the root screen, for 10 s of wall time, once with the application
// active and once inactive. Reported: the CPU share of one core the whole process took
// (every thread), the idle turns per second and the frames drawn (1: the first picture).
// Runs on SDL's dummy video driver unless another is chosen.

#include "bench/support/BenchRun.h"
#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/GraphicsInstall.h"
#include "engine/ui/manager/TPlatformWindowHost.h"
#include "engine/ui/manager/TWindowManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

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

struct TRun
{
    double wall = 0;
    double cpu = 0;
    long idleTurns = 0;
    int frames = 0;
};

TRun sRun;

int StaticScreen(TPlatform* platform, const char*)
{
    platform->SetDisplay(800, 600, false);
    TWindowManager* windows = GetWindowManager();
    TEvent event;
    const double wallStart = Seconds(CLOCK_MONOTONIC);
    const double cpuStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    while (Seconds(CLOCK_MONOTONIC) - wallStart < kSeconds) {
        platform->GetEvent(event);
        windows->HandleEvent(event);
        if (event.type == TEvent::kIdle)
            ++sRun.idleTurns;
    }
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
    TBenchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "velmora_bench_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        mRoot = pattern;
        fs::create_directories(mRoot / "assets");
        setenv("XDG_DATA_HOME", (mRoot / "data").c_str(), 1);
    }
    ~TBenchFolder()
    {
        std::error_code error;
        if (!mRoot.empty())
            fs::remove_all(mRoot, error);
    }
    const fs::path& Root() const { return mRoot; }

private:
    fs::path mRoot;
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
    state.counters["frames drawn"] = sRun.frames;
    SetGoal(state, "an unchanged screen costs next to nothing: no frame after the first");

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
