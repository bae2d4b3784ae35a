#pragma once

#include "engine/platform/TVideoSystem.h"
#include "engine/platform/sdl/TSdlEventSource.h"

#include <atomic>
#include <memory>

class TX11ErrorTrap;

// The window system on SDL2: video, events and timer subsystems.
class TSdlVideoSystem final : public TVideoSystem
{
public:
    // Initialises SDL; null with a log line when it cannot.
    static std::unique_ptr<TSdlVideoSystem> Open();
    ~TSdlVideoSystem() override;

    std::unique_ptr<TNativeWindow> CreateWindow(const std::string& utf8Title, int width,
                                                int height) override;
    TEventSource& GetEventSource() override { return mEvents; }
    bool SetClipboardText(const std::string& utf8) override;
    std::string GetClipboardText() override;
    bool OpenUrl(const std::string& url) override;
    void ShowSystemCursor(bool show) override;

private:
    TSdlVideoSystem();
    void WatchConnection(SDL_Window* window);

    // Set by the X error trap: the event source reports a quit once the window system
    // failed, and the window and its output stop calling it once its connection is lost.
    std::atomic<bool> mFailed{false};
    std::atomic<bool> mConnectionLost{false};
    TSdlEventSource mEvents{&mFailed};
    // Only on X11.
    std::unique_ptr<TX11ErrorTrap> mX11Trap;
};
