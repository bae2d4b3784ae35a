#pragma once

#include "engine/platform/TVideoSystem.h"
#include "engine/platform/sdl/TSdlEventSource.h"

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
    TSdlVideoSystem() = default;

    TSdlEventSource mEvents;
};
