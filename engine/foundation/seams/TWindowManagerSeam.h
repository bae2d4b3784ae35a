#pragma once

#include <memory>

// The root window script as the platform sees it: it is made by the platform facade and
// handed to the window manager.
class TWindowScriptSeam
{
public:
    virtual ~TWindowScriptSeam() = default;

    // Stops a playing movie (a close request arrived).
    virtual void EndMovie() = 0;
};

// What the platform asks of the window manager. Main thread, except IsSuspended, which
// the cursor thread also reads and which must therefore be safe from any thread.
class TWindowManagerSeam
{
public:
    virtual ~TWindowManagerSeam() = default;

    virtual void AttachScript(std::unique_ptr<TWindowScriptSeam> script) = 0;
    virtual TWindowScriptSeam* GetScript() = 0; // null before AttachScript
    virtual void SetTranslateLabels(bool translate) = 0;

    // The root window: made once by the first display set-up, as a screen of the size.
    virtual bool HasRootWindow() const = 0;
    virtual void CreateRootScreen(int width, int height) = 0;

    // Milliseconds until an idle turn has work for the window manager (a task of its own
    // due, a frame due); 0 when it has now; TTask::kNeverDue when only input or another
    // outside change can give it some. The event loop sleeps no longer than this.
    virtual int TimeUntilDue() = 0;

    virtual void Invalidate() = 0;           // something shown has changed
    virtual bool IsSuspended() const = 0;    // a movie covers the display
    virtual bool IsMouseBlocked() const = 0; // mouse buttons are to be dropped
};
