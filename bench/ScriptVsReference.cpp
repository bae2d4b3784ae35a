// Times our script interpreter against the reference interpreter lua5.1 on the scripts
// in bench/scripts/ (all written in the language subset both run alike). Each script
// runs kRuns times on each interpreter, alternating, in one run of this program; it
// prints the median CPU time (user + system) of both and their ratio (ours /
// reference), and warns when the two outputs differ. CPU time rather than wall time,
// so that other work on the machine disturbs the comparison less. Our interpreter is the luarun
// tool built beside this program (or the one named by the environment variable VELMORA_LUARUN).
//
// This program has its own main; Google Benchmark's timing loop does not fit
// whole-process runs of another program.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 7;

struct TRunResult
{
    bool mOk = false;
    double mMilliseconds = 0;
    std::string mOutput;
};

// Runs program with one argument, collecting its standard output.
TRunResult Run(const std::string& program, const std::string& script)
{
    TRunResult result;
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv = {const_cast<char*>(program.c_str()),
                                   const_cast<char*>(script.c_str()), nullptr};
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    char buffer[4096];
    ssize_t got;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0)
        result.mOutput.append(buffer, static_cast<size_t>(got));
    close(fds[0]);
    int status = 0;
    rusage usage{};
    if (pid > 0)
        wait4(pid, &status, 0, &usage);
    const auto milliseconds = [](const timeval& t) {
        return t.tv_sec * 1000.0 + t.tv_usec / 1000.0;
    };
    result.mMilliseconds = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    result.mOk = pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string OurInterpreter()
{
    if (const char* path = std::getenv("VELMORA_LUARUN"))
        return path;
#ifdef VELMORA_LUARUN
    return VELMORA_LUARUN;
#else
    return "luarun";
#endif
}

} // namespace

int main()
{
    const std::string ours = OurInterpreter();
    const std::string reference = "lua5.1";
    const std::filesystem::path folder =
        std::filesystem::path(VELMORA_SOURCE_DIR) / "bench" / "scripts";
    std::vector<std::filesystem::path> scripts;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".lua")
            scripts.push_back(entry.path());
    }
    std::sort(scripts.begin(), scripts.end());

    std::printf("script interpreter vs %s: median of %d runs each, CPU time\n", reference.c_str(),
                kRuns);
    std::printf("no goal set: the ratio (ours / lua5.1; below 1, ours is faster) is read against "
                "earlier builds\n");
    std::printf("%-12s %12s %12s %8s\n", "benchmark", "ours (ms)", "lua5.1 (ms)", "ratio");
    int failures = 0;
    for (const auto& script : scripts) {
        std::vector<double> ourTimes;
        std::vector<double> referenceTimes;
        std::string ourOutput;
        std::string referenceOutput;
        bool ok = true;
        for (int i = 0; i < kRuns && ok; ++i) {
            const TRunResult a = Run(ours, script.string());
            const TRunResult b = Run(reference, script.string());
            ok = a.mOk && b.mOk;
            ourTimes.push_back(a.mMilliseconds);
            referenceTimes.push_back(b.mMilliseconds);
            ourOutput = a.mOutput;
            referenceOutput = b.mOutput;
        }
        const std::string name = script.stem().string();
        if (!ok) {
            std::printf("%-12s failed to run (%s or %s)\n", name.c_str(), ours.c_str(),
                        reference.c_str());
            ++failures;
            continue;
        }
        const double ourMedian = Median(ourTimes);
        const double referenceMedian = Median(referenceTimes);
        std::printf("%-12s %12.1f %12.1f %8.2f%s\n", name.c_str(), ourMedian, referenceMedian,
                    ourMedian / referenceMedian,
                    ourOutput == referenceOutput ? "" : "  (outputs differ)");
    }
    return failures == 0 ? 0 : 1;
}
