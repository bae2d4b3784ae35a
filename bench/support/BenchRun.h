#pragma once

// What every Google Benchmark program of bench/ shares: the goal beside a benchmark's
// figure, and the run with the reporter `make bench` shows (TBenchReporter). A program
// without a main of its own gets BenchMain.cpp's, which only calls RunBenchmarks.

#include <benchmark/benchmark.h>

// The goal the benchmark's figure is read against, shown beside it ("goal: " + goal).
void SetGoal(benchmark::State& state, const char* goal);
// For a benchmark without a goal of its own, why it is there ("no goal: " + why).
void SetNoGoal(benchmark::State& state, const char* why);

// Google Benchmark's command line and run: reported by TBenchReporter, unless
// --benchmark_format asks for the library's own forms. The program's exit code.
int RunBenchmarks(int argc, char** argv);
