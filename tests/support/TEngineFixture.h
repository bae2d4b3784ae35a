#pragma once

// The real engine, started headless inside the test process, for tests that need what
// the game has at run time: the platform facade (TPlatform) with its string table, task
// lists (AddTask, AddRefreshTask) and random generator, the animation task list, the
// window manager and its window script. It starts as the game does (TEngine, with the
// engine parts the game installs), on SDL's dummy video and audio drivers, and with:
//   - a time source that only Step moves (TManualTimeSource); idle turns never wait;
//   - the platform's random generator and the C library's seeded from the options;
//   - a folder to run in, whose "assets" folder is the content (the fixture's own
//     temporary folder unless the test names one); the data folders lie in the
//     fixture's folder.
// Step(ms) moves the clock ms milliseconds on and runs the event loop (RunEventTurn) up
// to and including one idle turn: the due tasks and animations, the window script, the
// window manager's tasks, messages and a frame.
//
// Start first puts all process-wide engine state back as a new process has it
// (ResetEngineState); Stop, also run by the destructor, shuts the engine down and puts it
// back again, so any number of tests may each run one in one process. One at a time;
// main thread.
//
//     TEngineFixture engine;
//     engine.WriteContent("scripts/hello.lua", "return function() ... end");
//     ASSERT_TRUE(engine.Start());
//     engine.Windows().RunScriptFile(engine.Windows().GetRootWindow(), "scripts/hello.lua");
//     engine.Step(16);

#include "engine/platform/TTimeSource.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class TEngine;
class TPlatform;
class TScopedEnvironment;
class TScript;
class TStringTable;
class TWindowManager;

class TEngineFixture
{
public:
    struct TOptions
    {
        // The folder the engine runs in, as the game runs in its executable's folder.
        // Empty: Folder().
        std::filesystem::path folder{};
        // More command-line switches, as the game's command line gives them.
        std::string switches{};
        uint32_t seed = 1;
        uint32_t startTime = 1000;
        // The display opened once the engine runs, with a root screen of its size; a
        // width of 0 opens none.
        int width = 800;
        int height = 600;
        // Installs the engine parts before start-up; empty: graphics, sound and the
        // window toolkit, as the game installs them.
        std::function<void()> install{};
        // Runs once the engine runs and the display is open, before the first step (the
        // game registers its types here).
        std::function<void(TPlatform&)> started{};
    };

    TEngineFixture();
    ~TEngineFixture();
    TEngineFixture(const TEngineFixture&) = delete;
    TEngineFixture& operator=(const TEngineFixture&) = delete;

    // The fixture's temporary folder, removed with the fixture.
    const std::filesystem::path& Folder() const { return mFolder; }
    // Writes text to the content file relative (Folder()/assets/relative), making its
    // folders. Before Start: the engine finds its content when it starts.
    void WriteContent(const std::string& relative, const std::string& text) const;

    // False, with a test failure, when the engine did not start.
    bool Start(const TOptions& options);
    bool Start(); // with the default options
    // Safe twice and without Start.
    void Stop();
    bool IsRunning() const;

    // While running.
    TPlatform& Platform();
    TWindowManager& Windows();
    TScript& WindowScript();
    TStringTable& Strings();
    TManualTimeSource& Time() { return *mTime; }

    void Step(uint32_t ms);
    // Steps of ms until done answers true (asked before each step); false, with a test
    // failure, when maxSteps steps did not do it.
    bool StepUntil(const std::function<bool()>& done, uint32_t ms = 16, int maxSteps = 1000);
    // Whether a step took the quit event (the game's loop would have ended).
    bool HasQuit() const { return mQuit; }
    // The log written so far (the engine's log file in the user data folder).
    std::string Log() const;

private:
    std::filesystem::path mFolder;
    std::filesystem::path mLogFile;
    std::unique_ptr<TScopedEnvironment> mDataHome;
    std::unique_ptr<TScopedEnvironment> mVideoDriver;
    std::unique_ptr<TScopedEnvironment> mAudioDriver;
    std::unique_ptr<TManualTimeSource> mTime;
    std::unique_ptr<TEngine> mEngine;
    bool mQuit = false;
};
