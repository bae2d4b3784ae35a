#include "engine/platform/sdl/TSdlVideoSystem.h"

#include "engine/platform/TPlatformLog.h"
#include "engine/platform/sdl/TSdlNativeWindow.h"

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;

} // namespace

std::unique_ptr<TSdlVideoSystem> TSdlVideoSystem::Open()
{
    // Closing the last window must reach the engine as a close request, never as a
    // quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Signals still end the event loop, through SDL's quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    // Without the poll sentinel an event pushed after an idle wait is seen by the very
    // next poll; the pump takes one event per call, so it needs no end-of-batch marker.
    SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
    if (SDL_InitSubSystem(kSubsystems) != 0) {
        TPlatformLog::Write("video: cannot start SDL: %s", SDL_GetError());
        return nullptr;
    }
    return std::unique_ptr<TSdlVideoSystem>(new TSdlVideoSystem());
}

TSdlVideoSystem::~TSdlVideoSystem()
{
    SDL_QuitSubSystem(kSubsystems);
    SDL_Quit();
}

std::unique_ptr<TNativeWindow> TSdlVideoSystem::CreateWindow(const std::string& utf8Title,
                                                             int width, int height)
{
    // At the desktop's corner: the display centres the window when it first opens it.
    SDL_Window* window =
        SDL_CreateWindow(utf8Title.c_str(), 0, 0, width, height, SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        TPlatformLog::Write("video: cannot create the main window: %s", SDL_GetError());
        return nullptr;
    }
    return std::make_unique<TSdlNativeWindow>(window);
}

bool TSdlVideoSystem::SetClipboardText(const std::string& utf8)
{
    return SDL_SetClipboardText(utf8.c_str()) == 0;
}

std::string TSdlVideoSystem::GetClipboardText()
{
    if (!SDL_HasClipboardText())
        return {};
    char* text = SDL_GetClipboardText();
    std::string result = text != nullptr ? text : "";
    SDL_free(text);
    return result;
}

bool TSdlVideoSystem::OpenUrl(const std::string& url)
{
    if (SDL_OpenURL(url.c_str()) != 0) {
        TPlatformLog::Write("video: cannot open %s: %s", url.c_str(), SDL_GetError());
        return false;
    }
    return true;
}

void TSdlVideoSystem::ShowSystemCursor(bool show)
{
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
