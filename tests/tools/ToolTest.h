#pragma once
// A fixture for the command-line tools as their users meet them: each test gets a
// folder of its own to work in, and Run starts a tool there (no shell between) and
// collects its exit status and both output streams. A tool is a program of the build's
// tools/, or a script of the source tree's tools/.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct TToolResult
{
    int mStatus = -1; // the exit code; 128 + the signal when a signal ended it
    std::string mOut;
    std::string mErr;
};

class ToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-tool-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mFolder = pattern;
    }

    void TearDown() override
    {
        std::error_code error;
        std::filesystem::remove_all(mFolder, error);
    }

    // The program or script that is the tool.
    static std::string ToolPath(const std::string& tool)
    {
        const std::filesystem::path script =
            std::filesystem::path(VELMORA_SOURCE_DIR) / "tools" / tool;
        if (std::filesystem::is_regular_file(script))
            return script.string();
        return std::string(VELMORA_BINARY_DIR) + "/tools/" + tool;
    }

    // Runs the tool in the test's folder with the arguments, its standard input read from
    // the file input (relative to the folder) when given. With mFileSizeLimit set, no
    // file it writes can grow past that many bytes: a write beyond fails as on a full
    // disk.
    TToolResult Run(const std::string& tool, const std::vector<std::string>& arguments,
                    const std::string& input = "") const
    {
        const std::string program = ToolPath(tool);
        const std::filesystem::path out = mFolder / ".stdout";
        const std::filesystem::path err = mFolder / ".stderr";
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(mFolder.c_str()) != 0)
                _exit(126);
            const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(outFd, 1);
            dup2(errFd, 2);
            if (!input.empty())
                dup2(open(input.c_str(), O_RDONLY), 0);
            if (mFileSizeLimit > 0) {
                const rlimit limit{mFileSizeLimit, mFileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
                std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the tool
            }
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        TToolResult result;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid)
            result.mStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.mOut = Read(out);
        result.mErr = Read(err);
        std::filesystem::remove(out);
        std::filesystem::remove(err);
        return result;
    }

    // Writes bytes to the file relative to the test's folder, making its folders.
    std::filesystem::path Write(const std::string& relative, const std::string& bytes) const
    {
        const std::filesystem::path full = mFolder / relative;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }

    static std::string Read(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path mFolder;
    rlim_t mFileSizeLimit = 0;
};
