#pragma once

#include "engine/platform/TEventSource.h"

#include <SDL.h>

// SDL's event queue translated into window-system events.
class TSdlEventSource final : public TEventSource
{
public:
    bool Poll(TSystemEvent& event) override;
    void Wait(int milliseconds) override;

    // Translates one SDL event; false when the engine has no use for it.
    static bool Translate(const SDL_Event& sdl, TSystemEvent& event);
};
