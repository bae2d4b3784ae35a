#include "engine/platform/sdl/TSdlEventSource.h"

#include "engine/platform/sdl/TSdlKeyMap.h"

namespace {

using TKind = TSystemEvent::TKind;

bool TranslateWindowEvent(const SDL_WindowEvent& window, TSystemEvent& event)
{
    switch (window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        event.kind = TKind::WindowClose;
        return true;
    case SDL_WINDOWEVENT_EXPOSED:
        event.kind = TKind::WindowExposed;
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        event.kind = TKind::WindowMinimized;
        return true;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        event.kind = TKind::WindowRestored;
        return true;
    case SDL_WINDOWEVENT_SHOWN:
        event.kind = TKind::WindowShown;
        return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        event.kind = TKind::FocusGained;
        return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        event.kind = TKind::FocusLost;
        return true;
    case SDL_WINDOWEVENT_ENTER:
        event.kind = TKind::MouseEntered;
        return true;
    case SDL_WINDOWEVENT_LEAVE:
        event.kind = TKind::MouseLeft;
        return true;
    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
        event.kind = TKind::DisplayChanged;
        return true;
    default:
        return false;
    }
}

void TranslateKey(const SDL_KeyboardEvent& key, TSystemEvent& event)
{
    const TSdlKeyMap::TResult mapped = TSdlKeyMap::Translate(key.keysym);
    event.kind = key.type == SDL_KEYDOWN ? TKind::KeyDown : TKind::KeyUp;
    event.key = mapped.code;
    event.extended = mapped.extended;
    // The modifiers travel in the event itself, so the state at the time of the key
    // counts, not the state when the queue is read.
    event.modifiers = TSdlKeyMap::Modifiers(key.keysym.mod);
}

void TranslateButton(const SDL_MouseButtonEvent& button, TSystemEvent& event)
{
    event.kind = button.type == SDL_MOUSEBUTTONDOWN ? TKind::ButtonDown : TKind::ButtonUp;
    event.button = button.button;
    event.x = button.x;
    event.y = button.y;
    event.modifiers = TSdlKeyMap::Modifiers(SDL_GetModState());
}

void TranslateWheel(const SDL_MouseWheelEvent& wheel, TSystemEvent& event)
{
    event.kind = TKind::Wheel;
    event.wheel = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    SDL_GetMouseState(&event.x, &event.y);
    event.modifiers = TSdlKeyMap::Modifiers(SDL_GetModState());
}

} // namespace

bool TSdlEventSource::Translate(const SDL_Event& sdl, TSystemEvent& event)
{
    event = TSystemEvent{};
    switch (sdl.type) {
    case SDL_QUIT:
        event.kind = TKind::Quit;
        return true;
    case SDL_WINDOWEVENT:
        return TranslateWindowEvent(sdl.window, event);
    case SDL_DISPLAYEVENT:
        event.kind = TKind::DisplayChanged;
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(sdl.key, event);
        return true;
    case SDL_TEXTINPUT:
        event.kind = TKind::Text;
        event.text = sdl.text.text;
        return true;
    case SDL_MOUSEMOTION:
        event.kind = TKind::MouseMove;
        event.x = sdl.motion.x;
        event.y = sdl.motion.y;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(sdl.button, event);
        return true;
    case SDL_MOUSEWHEEL:
        TranslateWheel(sdl.wheel, event);
        return true;
    default:
        return false;
    }
}

bool TSdlEventSource::Poll(TSystemEvent& event)
{
    if (HasFailed()) {
        // Nothing more will come; whatever SDL still holds may speak of a window the
        // engine can no longer reach.
        event = TSystemEvent{};
        event.kind = TKind::Quit;
        return true;
    }
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl) != 0) {
        if (Translate(sdl, event))
            return true;
    }
    return false;
}

bool TSdlEventSource::HasQuitWaiting()
{
    if (HasFailed())
        return true;
    SDL_PumpEvents();
    if (SDL_HasEvent(SDL_QUIT))
        return true;
    SDL_Event windowEvents[64];
    const int count =
        SDL_PeepEvents(windowEvents, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < count; ++i) {
        if (windowEvents[i].window.event == SDL_WINDOWEVENT_CLOSE)
            return true;
    }
    return false;
}

void TSdlEventSource::Wait(int milliseconds)
{
    if (HasFailed())
        return;
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

void TSdlEventSource::Wake()
{
    // SDL would send its wake-up message to the window over a connection that is gone.
    if (HasFailed())
        return;
    SDL_Event wake{};
    wake.type = SDL_USEREVENT;
    // A full queue holds events enough to end the wait.
    SDL_PushEvent(&wake);
}
