#pragma once

// How the SDL display output shows frames. Our software device draws every frame into
// memory, so the window's own surface is all it needs: no renderer, no GL stack loaded
// (tens of megabytes and a quarter of a second of set-up with Mesa's software driver).
// An SDL renderer is used when SDL_RENDER_DRIVER names one, and when the window has no
// surface of a kind the surface presenter takes.
enum class TSdlPresentation
{
    WindowSurface,
    Renderer,
};

// The way asked for by renderDriver, SDL_RENDER_DRIVER's value (null when not set).
TSdlPresentation ChooseSdlPresentation(const char* renderDriver);
