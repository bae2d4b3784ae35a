#pragma once

// The running engine, from the command line to shutdown, without the game's part: Start
// reads the command line, builds the platform data and the facade, opens the main window,
// the sound manager and the renderer, stores the command-line settings, loads the plug-in
// modules and hands the game-state keys over; Stop shuts all of it down. EngineMain runs
// the game between the two; the tests' in-process engine steps the running engine itself.
//
// The engine parts (graphics, sound, window toolkit) are installed before Start. One
// engine at a time: the facade is process-wide (TPlatform::GetInstance). Main thread.

#include "engine/foundation/core/TString.h"

#include <memory>

class TPlatform;

class TEngine
{
public:
    enum class TStartResult
    {
        Started,
        OtherInstanceRunning, // the process is to end with exit code 0
        Hosted,               // "-wnd=": no window of another program can host the game
        NoWindowSystem,       // none that shows anything (said in the log and on stderr)
        NoMainWindow,
    };

    TEngine();
    ~TEngine();
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;

    // Everything but the display is ready when it answers Started. Any other answer
    // leaves nothing running: the log sink is cleared and no facade exists.
    TStartResult Start(const TString& commandLine, int showCommand, bool allowMultiple);
    // The facade while started, else null.
    TPlatform* GetPlatform() const { return mPlatform.get(); }
    // Shuts the engine down and answers the run's exit code: 1 when the window system
    // failed under the game, -1 when the display failed for good, else 0. Safe twice and
    // after a failed Start (answering 0).
    int Stop();

    // The exit code a process ends with when Start gave result.
    static int ExitCodeFor(TStartResult result);

private:
    std::unique_ptr<TPlatform> mPlatform;
};
