// The game executable as a process: single instance, clean ends, and (under Xvfb) a
// real window that closes on request, a demonstration menu that a person can use, and an
// X server that goes away under the game.
//
// Several runs of these tests may share the machine (CTest in parallel, several build
// folders at once). Each test therefore keeps everything the game touches in a folder of
// its own: data, the instance lock (through XDG_RUNTIME_DIR) and, under Xvfb, the X
// display, which is picked from a random range and tried again when it was taken. The
// deadlines only bound a failing run: a start-up under the sanitizers on a busy machine
// can be slow.

#include "engine/platform/TPlatformLog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kPatienceSeconds = 120;
constexpr std::chrono::seconds kPatience{kPatienceSeconds};

const std::string kVelmora = std::string(VELMORA_BINARY_DIR) + "/velmora";
const std::string kXclose = std::string(VELMORA_BINARY_DIR) + "/tools/xclose";
const std::string kXpeek = std::string(VELMORA_BINARY_DIR) + "/tools/xpeek";
const std::string kWalkthrough =
    std::string(VELMORA_SOURCE_DIR) + "/tests/game/core/menu-walkthrough.sh";

bool HasCommand(const std::string& name)
{
    return system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

class VelmoraProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "velmora_process_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
        fs::create_directories(mRoot / "run");
    }

    void TearDown() override
    {
        for (pid_t pid : mRunning) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        fs::remove_all(mRoot);
    }

    // Starts the game with its own data folder under dataName and the given environment
    // variables, without those named in unset. All games of one test share its runtime
    // folder, so they meet at one instance lock, and only they do.
    // With errors, its standard error stream goes to that file.
    pid_t Start(const std::vector<std::string>& arguments, const std::string& dataName,
                const std::vector<std::pair<std::string, std::string>>& environment = {},
                const fs::path& errors = {}, const std::vector<std::string>& unset = {})
    {
        const pid_t pid = fork();
        if (pid == 0) {
            if (!errors.empty()) {
                const int file = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                dup2(file, STDERR_FILENO);
            }
            setenv("XDG_DATA_HOME", (mRoot / dataName).c_str(), 1);
            setenv("XDG_RUNTIME_DIR", (mRoot / "run").c_str(), 1);
            for (const auto& [name, value] : environment)
                setenv(name.c_str(), value.c_str(), 1);
            for (const std::string& name : unset)
                unsetenv(name.c_str());
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(kVelmora.c_str()));
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(kVelmora.c_str(), argv.data());
            _exit(127);
        }
        mRunning.push_back(pid);
        return pid;
    }

    // The exit code, or -1 when the process did not end in time (or ended by a signal).
    int WaitForExit(pid_t pid)
    {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(mRunning, pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

    static std::string Read(const fs::path& path)
    {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::string Log(const std::string& dataName)
    {
        return Read(mRoot / dataName / "yolt" / "velmora" / "logfile.txt");
    }

    // Waits until the game of dataName runs its event loop.
    bool WaitUntilRunning(const std::string& dataName)
    {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            if (Log(dataName).find("start-up: running the game") != std::string::npos)
                return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    // Runs the shell commands on an X server of their own (xvfb-run) with the game's
    // data in the folder "xvfb" and the output in xvfb.out; the wait status of xvfb-run,
    // which is that of the commands. The sanitizer build carries the suppressions of
    // cmake/lsan-suppressions.txt (the system libraries' own leaks), so the game's exit
    // code is its own.
    int RunUnderXvfb(const std::string& commands)
    {
        const fs::path started = mRoot / "started";
        std::ofstream(mRoot / "xvfb.sh")
            << ": > '" << started.string() << "'\n"
            << "export SDL_VIDEODRIVER=x11\n"
            // The game shows its frames through the window's own surface and loads no GL.
            // Were Mesa's software GL driver loaded, the leak check would report two small
            // blocks that only its own globals reach, from a module it can no longer name
            // (it is unloaded by then): a run that loads GL fails here.
            << "export XDG_DATA_HOME='" << (mRoot / "xvfb").string() << "'\n"
            << "export XDG_RUNTIME_DIR='" << (mRoot / "run").string() << "'\n"
            << commands;
        const fs::path output = mRoot / "xvfb.out";
        const fs::path serverErrors = mRoot / "xvfb.errors";
        // xvfb-run -a takes the first display from its start number up without a lock
        // file, so two runs looking at the same moment can pick the same one, and the
        // later server fails. A random start number makes that rare; a run whose script
        // never started is tried again from another one.
        std::mt19937 random(std::random_device{}());
        int status = -1;
        for (int attempt = 0; attempt < 5 && !fs::exists(started); ++attempt) {
            const int firstDisplay = std::uniform_int_distribution<int>(100, 29999)(random);
            const std::string command =
                "xvfb-run --auto-servernum --server-num=" + std::to_string(firstDisplay) +
                " --error-file='" + serverErrors.string() + "' sh '" +
                (mRoot / "xvfb.sh").string() + "' > '" + output.string() + "' 2>&1";
            status = system(command.c_str());
        }
        EXPECT_TRUE(fs::exists(started)) << "no X server started:\n" << Read(serverErrors);
        return status;
    }

    // Starts an X server on a display it picks itself among the free ones; its number,
    // or -1 when the server did not start.
    int StartXServer()
    {
        int numberPipe[2];
        if (pipe(numberPipe) != 0)
            return -1;
        const pid_t pid = fork();
        if (pid == 0) {
            close(numberPipe[0]);
            const std::string fd = std::to_string(numberPipe[1]);
            const int quiet =
                open((mRoot / "xserver.errors").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(quiet, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                   "1024x768x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(numberPipe[1]);
        mRunning.push_back(pid);
        mXServer = pid;
        std::string number;
        char c = 0;
        while (read(numberPipe[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(numberPipe[0]);
        return number.empty() ? -1 : std::stoi(number);
    }

    // What the game needs to open its window on display (it loads no GL: see
    // RunUnderXvfb).
    static std::vector<std::pair<std::string, std::string>> XEnvironment(int display)
    {
        return {{"DISPLAY", ":" + std::to_string(display)}, {"SDL_VIDEODRIVER", "x11"}};
    }

    static bool HasSanitizerReport(const std::string& output)
    {
        return output.find("runtime error") != std::string::npos ||
               output.find("Sanitizer") != std::string::npos;
    }

    fs::path mRoot;
    std::vector<pid_t> mRunning;
    pid_t mXServer = -1;
};

TEST_F(VelmoraProcessTest, SecondInstanceExitsAtOnceAndTheFirstEndsCleanly)
{
    const pid_t first = Start({}, "first");
    ASSERT_TRUE(WaitUntilRunning("first"));
    const pid_t second = Start({}, "second");
    EXPECT_EQ(WaitForExit(second), 0);
    EXPECT_FALSE(fs::exists(mRoot / "second" / "yolt")); // no folder, no log
    EXPECT_EQ(kill(first, 0), 0);                        // the first runs on

    kill(first, SIGTERM); // reaches the game as event 4
    EXPECT_EQ(WaitForExit(first), 0);
    const std::string log = Log("first");
    const size_t version = log.find("velmora, version 1.0.0.0.");
    const size_t running = log.find("start-up: running the game");
    const size_t ended = log.find("shutdown: the game has ended");
    const size_t done = log.find("shutdown: done");
    ASSERT_NE(version, std::string::npos);
    EXPECT_LT(version, running);
    EXPECT_LT(running, ended);
    ASSERT_NE(done, std::string::npos);
    EXPECT_LT(ended, done);
}

TEST_F(VelmoraProcessTest, MultipleLetsSeveralRun)
{
    const pid_t first = Start({"--multiple"}, "first");
    ASSERT_TRUE(WaitUntilRunning("first"));
    // The first took no lock, so a later instance without the switch runs as well.
    const pid_t second = Start({}, "second");
    ASSERT_TRUE(WaitUntilRunning("second"));
    const pid_t third = Start({"--multiple"}, "third");
    ASSERT_TRUE(WaitUntilRunning("third"));
    for (pid_t pid : {first, second, third}) {
        kill(pid, SIGTERM);
        EXPECT_EQ(WaitForExit(pid), 0);
    }
}

// Without a window system, or with none that shows anything (no X server or Wayland
// compositor, where SDL would fall back on its off-screen driver), the game says why on
// its standard error stream and in its log and ends with exit code 1; the game never runs.
TEST_F(VelmoraProcessTest, WithoutADisplayItSaysSoAndExitsWithOne)
{
    struct TCase
    {
        std::vector<std::pair<std::string, std::string>> environment;
        std::vector<std::string> unset;
        const char* reason;
    };
    const TCase cases[] = {
        {{{"SDL_VIDEODRIVER", "nonexistent"}}, {}, "video: cannot start SDL: "},
        {{}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}, "video: no display: "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.reason);
        fs::remove_all(mRoot / "nodisplay");
        const fs::path errors = mRoot / "nodisplay.errors";
        const pid_t pid = Start({"--multiple"}, "nodisplay", c.environment, errors, c.unset);
        EXPECT_EQ(WaitForExit(pid), 1);
        const std::string said = Read(errors);
        EXPECT_NE(said.find(std::string("velmora: ") + TPlatformLog::kTag + c.reason),
                  std::string::npos)
            << said;
        EXPECT_NE(said.find("velmora: no display to show the game on, exiting"), std::string::npos)
            << said;
        const std::string log = Log("nodisplay");
        EXPECT_NE(log.find(c.reason), std::string::npos) << log;
        EXPECT_NE(log.find("ERROR: start-up: no display to show the game on, exiting"),
                  std::string::npos)
            << log;
        EXPECT_EQ(log.find("start-up: running the game"), std::string::npos) << log;
    }
}

// The dialog flow's file, scripts/mainloop.lua, that gives no dialog flow: the log says
// which file and why, once, and the game runs on until it is asked to end. A flow that
// finishes by itself is no failure and logs nothing.
TEST_F(VelmoraProcessTest, AMainLoopThatGivesNoDialogFlowIsNamedWithTheReason)
{
    enum class TMake
    {
        Text,
        Nothing,
        Folder,
        Pipe,
    };
    struct TCase
    {
        const char* what;
        TMake make;
        const char* text;
        const char* logged; // "" for nothing logged
    };
    const TCase cases[] = {
        {"a number", TMake::Text, "return 42\n",
         "ERROR: start-up: scripts/mainloop.lua returned no function to run as the dialog flow"},
        {"a flow that ends", TMake::Text, "return function() gDone = true end\n", ""},
        {"missing", TMake::Nothing, "", "ERROR: start-up: scripts/mainloop.lua does not exist"},
        {"a folder", TMake::Folder, "", "ERROR: start-up: scripts/mainloop.lua is a folder"},
        {"a pipe", TMake::Pipe, "", "ERROR: start-up: scripts/mainloop.lua is not a regular file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path content = mRoot / "content";
        fs::remove_all(content);
        fs::remove_all(mRoot / "flow");
        fs::create_directories(content / "assets/scripts");
        const fs::path file = content / "assets/scripts/mainloop.lua";
        if (c.make == TMake::Text)
            std::ofstream(file) << c.text;
        else if (c.make == TMake::Folder)
            fs::create_directories(file / "inner");
        else if (c.make == TMake::Pipe)
            ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
        const pid_t pid = Start({"--multiple", "-wd=" + content.string()}, "flow");
        ASSERT_TRUE(WaitUntilRunning("flow"));
        kill(pid, SIGTERM);
        EXPECT_EQ(WaitForExit(pid), 0);
        const std::string log = Log("flow");
        ASSERT_NE(log.find("shutdown: done"), std::string::npos) << log;
        if (*c.logged != '\0') {
            const size_t at = log.find(c.logged);
            EXPECT_NE(at, std::string::npos) << log;
            EXPECT_EQ(log.find(c.logged, at + 1), std::string::npos) << "said once:\n" << log;
        }
        for (const char* other :
             {"did not run", "coroutine has died", "lua_resume", "dead coroutine"})
            EXPECT_EQ(log.find(other), std::string::npos) << other << ":\n" << log;
    }
}

TEST_F(VelmoraProcessTest, HostWindowSwitchExitsWithMinusOne)
{
    const pid_t pid = Start({"--multiple", "-wnd=1234"}, "hosted");
    EXPECT_EQ(WaitForExit(pid), 255);
}

TEST_F(VelmoraProcessTest, RealWindowClosesOnRequestUnderXvfb)
{
    if (!HasCommand("xvfb-run"))
        GTEST_SKIP() << "xvfb-run is not installed";
    const int status =
        RunUnderXvfb("'" + kVelmora +
                     "' --multiple &\n"
                     "game=$!\n"
                     "'" +
                     kXclose + "' 'Velmora Spa' " + std::to_string(kPatienceSeconds) +
                     "\n"
                     "closed=$?\n"
                     "[ $closed -eq 0 ] || kill $game\n"
                     "wait $game\n"
                     "ended=$?\n"
                     "exit $((closed * 16 + ended))\n");
    ASSERT_TRUE(WIFEXITED(status));
    const std::string text = Read(mRoot / "xvfb.out");
    EXPECT_EQ(WEXITSTATUS(status), 0) << "16 x xclose's code + the game's exit code; output:\n"
                                      << text;
    EXPECT_FALSE(HasSanitizerReport(text)) << text;
    const std::string log = Log("xvfb");
    EXPECT_NE(log.find("shutdown: done"), std::string::npos);
    EXPECT_EQ(log.find("window system failed"), std::string::npos) << log;
}

// The X server goes away under the running game: the game notices, shuts down in order
// (its threads end before the statics they use) and reports the failure with exit code 1,
// with nothing for the sanitizers to report.
TEST_F(VelmoraProcessTest, LostXServerEndsTheGameInOrder)
{
    if (!HasCommand("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const int display = StartXServer();
    ASSERT_GE(display, 0) << Read(mRoot / "xserver.errors");
    const fs::path errors = mRoot / "game.errors";
    const pid_t game = Start({"--multiple"}, "lost", XEnvironment(display), errors);
    ASSERT_TRUE(WaitUntilRunning("lost")) << Read(errors);
    kill(mXServer, SIGKILL);
    waitpid(mXServer, nullptr, 0);
    std::erase(mRunning, mXServer);

    EXPECT_EQ(WaitForExit(game), 1) << Read(errors);
    EXPECT_FALSE(HasSanitizerReport(Read(errors))) << Read(errors);
    const std::string log = Log("lost");
    EXPECT_NE(log.find("x11: the connection to the X server"), std::string::npos) << log;
    EXPECT_NE(log.find("shutdown: done, after the window system failed"), std::string::npos) << log;
}

// A person's walk through the demonstration menu, with X events injected by xdotool and
// each step awaited on the screen (tests/game/core/menu-walkthrough.sh): hover and press,
// a confirm dialog answered with Enter, typing and pasting into a text entry, a slider
// drag, toggle and radio buttons, and Quit, which ends the game with exit code 0.
TEST_F(VelmoraProcessTest, MenuWalkthroughUnderXvfbEndsWithZero)
{
    for (const char* command : {"xvfb-run", "xdotool", "xclip"}) {
        if (!HasCommand(command))
            GTEST_SKIP() << command << " is not installed";
    }
    const int status = RunUnderXvfb("VELMORA='" + kVelmora + "' XPEEK='" + kXpeek +
                                    "' PATIENCE=" + std::to_string(kPatienceSeconds) + " bash '" +
                                    kWalkthrough + "'\n");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "10 + the step that never showed, or 100 + the game's exit code; output:\n"
        << Read(mRoot / "xvfb.out");
    EXPECT_NE(Log("xvfb").find("shutdown: done"), std::string::npos);
}

} // namespace
