#include "bench/support/TBenchReporter.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

constexpr const char* kDebugWarning = "Library was built as DEBUG";

// In place of the library's debug-build warning: what it means for our figures.
constexpr const char* kDebugNote =
    "(Google Benchmark's \"built as DEBUG\" warning is left out: it is about Debian's build "
    "of the library, which only runs the loop and reads the clocks; the code timed is built "
    "optimised)\n";

} // namespace

std::string TBenchReporter::FormatFigure(double value)
{
    char text[64];
    if (std::fabs(value) >= 100.0 || value == std::floor(value))
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

std::string TBenchReporter::CleanContext(const std::string& text, bool& debugBuild)
{
    debugBuild = false;
    std::istringstream lines(text);
    std::string kept;
    std::string line;
    bool inCaches = false;
    while (std::getline(lines, line)) {
        if (line.find(kDebugWarning) != std::string::npos) {
            debugBuild = true;
            continue;
        }
        if (line.rfind("CPU Caches:", 0) == 0) {
            inCaches = true;
            continue;
        }
        if (inCaches && line.rfind("  ", 0) == 0)
            continue;
        inCaches = false;
        kept += line + "\n";
    }
    return kept;
}

bool TBenchReporter::ReportContext(const Context& context)
{
    mNameWidth = context.name_field_width;
    std::ostringstream described;
    PrintBasicContext(&described, context);
    bool debugBuild = false;
    GetErrorStream() << CleanContext(described.str(), debugBuild);
    if (debugBuild)
        GetErrorStream() << kDebugNote;
    GetErrorStream().flush();
    return true;
}

void TBenchReporter::ReportRuns(const std::vector<Run>& reports)
{
    std::ostream& out = GetOutputStream();
    for (const Run& run : reports) {
        std::string name = run.benchmark_name();
        if (name.size() < mNameWidth)
            name.resize(mNameWidth, ' ');
        out << name << "  ";
        if (run.error_occurred) {
            out << "failed: " << run.error_message << "\n";
            continue;
        }
        const char* unit = benchmark::GetTimeUnitString(run.time_unit);
        out << FormatFigure(run.GetAdjustedCPUTime()) << " " << unit << " CPU ("
            << FormatFigure(run.GetAdjustedRealTime()) << " " << unit << " wall, " << run.iterations
            << (run.iterations == 1 ? " iteration)" : " iterations)");
        for (const auto& [counterName, counter] : run.counters) {
            out << "; " << counterName;
            if ((counter.flags & benchmark::Counter::kIsRate) != 0)
                out << " per second";
            out << ": " << FormatFigure(counter.value);
        }
        if (!run.report_label.empty())
            out << "; " << run.report_label;
        out << "\n";
    }
    out.flush();
}
