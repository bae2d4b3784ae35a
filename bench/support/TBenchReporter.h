#pragma once

// How `make bench` shows a Google Benchmark program's results: one line a benchmark with
// its CPU time, its wall time and its iterations, its counters by name with plain numbers
// (no "k" or "M" suffixes; a rate says "per second"), and the goal the figure is read
// against (the run's label, SetGoal). Before them, the machine the library describes,
// without its cache sizes, and in place of its "Library was built as DEBUG" warning what
// that warning means here.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

class TBenchReporter final : public benchmark::BenchmarkReporter
{
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& reports) override;

    // value with as many digits as a reader compares: whole numbers from 100 on, three
    // significant digits below.
    static std::string FormatFigure(double value);
    // The library's description of the machine with its cache lines and its debug-build
    // warning taken out; debugBuild tells whether the warning was there.
    static std::string CleanContext(const std::string& text, bool& debugBuild);

private:
    size_t mNameWidth = 0;
};
