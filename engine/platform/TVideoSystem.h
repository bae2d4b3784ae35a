#pragma once

#include <memory>
#include <string>

class TEventSource;
class TNativeWindow;

// The window system: it opens the main window, delivers its events and gives the
// desktop services (clipboard, cursor visibility, web links). Only this service's
// backend calls the window system, and only on the main thread.
class TVideoSystem
{
public:
    // Starts the window system. Null, with a log line per backend that declined, when
    // none can start, or when the only one that does shows nothing (an off-screen
    // stand-in that no environment variable asked for by name). The one place that names
    // a backend.
    static std::unique_ptr<TVideoSystem> Create();

    // Shuts the window system down; every window made by it must be gone by then.
    virtual ~TVideoSystem() = default;

    // A new main window, hidden, at the desktop's top-left corner, not resizable, width x
    // height pixels, title UTF-8 (cut as SetTitle cuts it). Null with a log line on failure.
    virtual std::unique_ptr<TNativeWindow> CreateWindow(const std::string& utf8Title, int width,
                                                        int height) = 0;

    // The event queue; it lives as long as this object.
    virtual TEventSource& GetEventSource() = 0;

    // Text clipboard, UTF-8 both ways; false or "" when the clipboard is unavailable. A
    // text set is cut (with a log line) to a length the window system takes in one
    // request (64 KB on SDL).
    virtual bool SetClipboardText(const std::string& utf8) = 0;
    virtual std::string GetClipboardText() = 0;

    // Hands url to the desktop's web browser; false with a log line on failure.
    // The text is never run through a shell.
    virtual bool OpenUrl(const std::string& url) = 0;

    // Shows or hides the system's pointer over the engine's windows.
    virtual void ShowSystemCursor(bool show) = 0;
};
