#include "engine/platform/sdl/TX11ErrorTrap.h"

#include "engine/platform/TPlatformLog.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

std::atomic<TX11ErrorTrap*> sActive{nullptr};

// Errors that only say a window was gone by the time a request reached the server. The
// server dropped the request; nothing of the engine's is wrong.
bool IsAboutAGoneWindow(const XErrorEvent& error)
{
    switch (error.error_code) {
    case BadWindow:
    case BadDrawable:
        return true;
    case BadMatch:
        // Focus given to a window that was unmapped in the meantime.
        return error.request_code == X_SetInputFocus;
    default:
        return false;
    }
}

} // namespace

struct TX11ErrorTrap::THandlers
{
    static int OnError(Display* display, XErrorEvent* error)
    {
        char text[256] = "";
        XGetErrorText(display, error->error_code, text, sizeof text);
        const bool gone = IsAboutAGoneWindow(*error);
        TPlatformLog::Write("x11: %s: %s (request %d.%d, resource 0x%lx)",
                            gone ? "ignored, the window is gone" : "error", text,
                            error->request_code, error->minor_code, error->resourceid);
        TX11ErrorTrap* trap = sActive.load();
        if (!gone && trap != nullptr)
            trap->mFailed.store(true);
        return 0;
    }

    // Called first when a connection breaks; Xlib then calls the connection's exit
    // handler, which ends the process unless the connection is watched.
    static int OnConnectionError(Display* display)
    {
        TPlatformLog::Write("x11: the connection to the X server %s is lost",
                            DisplayString(display));
        return 0;
    }

    // Returning keeps the process: Xlib marks the connection unusable and its calls
    // return at once from then on.
    static void OnConnectionLost(Display*, void*)
    {
        if (TX11ErrorTrap* trap = sActive.load()) {
            trap->mConnectionLost.store(true);
            trap->mFailed.store(true);
        }
    }
};

TX11ErrorTrap::TX11ErrorTrap(std::atomic<bool>& failed, std::atomic<bool>& connectionLost)
    : mFailed(failed), mConnectionLost(connectionLost)
{
    sActive.store(this);
    XSetErrorHandler(&THandlers::OnError);
    XSetIOErrorHandler(&THandlers::OnConnectionError);
}

TX11ErrorTrap::~TX11ErrorTrap()
{
    XSetErrorHandler(nullptr);
    XSetIOErrorHandler(nullptr);
    sActive.store(nullptr);
}

void TX11ErrorTrap::Watch(_XDisplay* display)
{
    XSetIOErrorExitHandler(display, &THandlers::OnConnectionLost, nullptr);
}
