#pragma once

#include <cstdint>

class TDisplaySeam;
class TEventSource;
class TNativeWindow;
class TRendererSeam;
class TSoundManagerSeam;
class TString;
class TWindowManagerSeam;

// Everything the event pump reaches outside itself. The platform data implements it;
// tests implement it with fakes. Main thread only.
class TEventPumpHost
{
public:
    virtual ~TEventPumpHost() = default;

    virtual TEventSource& GetEventSource() = 0;
    virtual TNativeWindow* GetMainWindow() = 0;         // null before it exists
    virtual TDisplaySeam* GetDisplay() = 0;             // null before it exists
    virtual TRendererSeam* GetRenderer() = 0;           // null before it exists
    virtual TWindowManagerSeam* GetWindowManager() = 0; // null before it exists
    virtual TSoundManagerSeam* GetSoundManager() = 0;   // null before it exists

    virtual uint32_t GetTimer() = 0; // engine milliseconds
    virtual void Sleep(int milliseconds) = 0;
    virtual void RunIdleTasks() = 0; // main task list, every-turn pass
    // Milliseconds until a task of the main task list is due (TTaskList::TimeUntilDue).
    virtual int TimeUntilIdleTaskDue() = 0;
    // Waits for the event source (TEventSource::Wait) between idle turns.
    virtual void WaitForEvents(int milliseconds) = 0;
    virtual void SetGameState(const TString& key, const TString& value) = 0;
    virtual bool IsHostPaused() = 0; // a host handler paused the game

    virtual bool IsHosted() const = 0;    // inside a host window
    virtual bool HasPqSwitch() const = 0; // "-pq=" host mode
    virtual bool IsUtf8Mode() const = 0;
    // The host's full-screen state ("-pq=" mode) and the request to change it.
    virtual bool GetHostFullScreen() const = 0;
    virtual bool SetFullScreen(bool fullScreen) = 0;
};
