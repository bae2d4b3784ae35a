#pragma once

#include "engine/platform/TEventSource.h"

#include <SDL.h>

#include <atomic>

// SDL's event queue translated into window-system events.
class TSdlEventSource final : public TEventSource
{
public:
    // failed, where given, is the window system's failure flag; it outlives this object.
    explicit TSdlEventSource(const std::atomic<bool>* failed = nullptr) : mFailed(failed) {}

    bool Poll(TSystemEvent& event) override;
    void Wait(int milliseconds) override;
    // Pushes an event of SDL's user range, which Poll skips.
    void Wake() override;
    bool HasQuitWaiting() override;
    bool HasFailed() const override { return mFailed != nullptr && mFailed->load(); }

    // Translates one SDL event; false when the engine has no use for it.
    static bool Translate(const SDL_Event& sdl, TSystemEvent& event);

private:
    const std::atomic<bool>* mFailed;
};
