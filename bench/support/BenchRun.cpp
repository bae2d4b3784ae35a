#include "bench/support/BenchRun.h"

#include "bench/support/TBenchReporter.h"

#include <cstring>
#include <string>

void SetGoal(benchmark::State& state, const char* goal)
{
    state.SetLabel(std::string("goal: ") + goal);
}

void SetNoGoal(benchmark::State& state, const char* why)
{
    state.SetLabel(std::string("no goal: ") + why);
}

int RunBenchmarks(int argc, char** argv)
{
    bool ownFormat = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_format", 18) == 0)
            ownFormat = false;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (ownFormat) {
        TBenchReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return 0;
}
