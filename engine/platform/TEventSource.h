#pragma once

#include "engine/platform/TSystemEvent.h"

// The window system's event queue as the event pump sees it. Main thread only.
class TEventSource
{
public:
    virtual ~TEventSource() = default;

    // Takes the next event off the queue into event; false when none is waiting.
    // Events the engine has no use for are skipped, never returned as None.
    virtual bool Poll(TSystemEvent& event) = 0;

    // Waits until an event arrives, Wake is called, or milliseconds have passed; takes
    // nothing off the queue. It may return earlier, for an event Poll then skips.
    virtual void Wait(int milliseconds) = 0;

    // Ends a Wait in progress, or makes the next one return at once. Any thread: work
    // handed to the main thread from elsewhere (a sound that finished) is not left
    // waiting for input.
    virtual void Wake() = 0;

    // Whether a quit or a close of the main window waits in the queue; takes nothing off
    // it. Reads the window system first, so a request made while the main thread was busy
    // elsewhere (a long script) is seen. Main thread only; costs about one Poll.
    virtual bool HasQuitWaiting() { return HasFailed(); }

    // Whether the window system behind the queue failed for good (its connection was
    // lost, or it refused a request). From then on Poll gives only Quit. Any thread.
    virtual bool HasFailed() const { return false; }
};
