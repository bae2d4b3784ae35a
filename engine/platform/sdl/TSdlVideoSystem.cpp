#include "engine/platform/sdl/TSdlVideoSystem.h"

#include "engine/platform/TPlatformLog.h"
#include "engine/platform/sdl/SdlTextLimits.h"
#include "engine/platform/sdl/TSdlNativeWindow.h"
#include "engine/platform/sdl/TX11ErrorTrap.h"

#include <SDL_syswm.h>
#include <cstring>
#include <string>

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;

// SDL's video drivers that show nothing; SDL falls back on the off-screen one when no
// display answers.
bool IsHeadless(const char* driver)
{
    for (const char* name : {"offscreen", "dummy", "evdev"}) {
        if (SDL_strcasecmp(driver, name) == 0)
            return true;
    }
    return false;
}

// Whether SDL_VIDEODRIVER (a list separated by commas) names driver.
bool IsAskedFor(const char* driver)
{
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const size_t length = std::strlen(driver);
    while (asked != nullptr && *asked != 0) {
        const char* end = std::strchr(asked, ',');
        const size_t itemLength =
            end != nullptr ? static_cast<size_t>(end - asked) : std::strlen(asked);
        if (itemLength == length && SDL_strncasecmp(asked, driver, length) == 0)
            return true;
        asked = end != nullptr ? end + 1 : nullptr;
    }
    return false;
}

// Where a display should have answered, for the log line that says none did.
std::string DisplayVariables()
{
    std::string text;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = SDL_getenv(name);
        text += text.empty() ? "" : ", ";
        text += name;
        text += value != nullptr ? std::string("=\"") + value + "\"" : std::string(" not set");
    }
    return text;
}

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
    // A window's surface is plain memory the window system shows, never a texture of a
    // renderer SDL makes behind it: that would load the GL stack just to show frames our
    // software device drew. SDL_FRAMEBUFFER_ACCELERATION in the environment still wins.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(kSubsystems) != 0) {
        TPlatformLog::Write("video: cannot start SDL: %s", SDL_GetError());
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && IsHeadless(driver) && !IsAskedFor(driver)) {
        // A window nobody can see would leave the game running unseen until killed.
        TPlatformLog::Write("video: no display: neither an X server nor a Wayland compositor "
                            "answered (%s), and SDL's \"%s\" driver shows nothing; start the "
                            "game on a desktop, or set SDL_VIDEODRIVER=%s to run it unseen",
                            DisplayVariables().c_str(), driver, driver);
        SDL_QuitSubSystem(kSubsystems);
        SDL_Quit();
        return nullptr;
    }
    return std::unique_ptr<TSdlVideoSystem>(new TSdlVideoSystem());
}

TSdlVideoSystem::TSdlVideoSystem()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0)
        mX11Trap = std::make_unique<TX11ErrorTrap>(mFailed, mConnectionLost);
}

TSdlVideoSystem::~TSdlVideoSystem()
{
    // With the X server gone, closing SDL's connections would only meet the loss again,
    // on a connection the trap cannot watch, and Xlib would end the process there.
    // What SDL holds stays reachable from SDL itself until the process ends.
    if (mConnectionLost.load()) {
        TPlatformLog::Write("video: the X server is gone; SDL's video is not shut down");
    } else {
        // The trap stays until SDL has closed its connections: errors still pending
        // (a wake-up sent to the window just destroyed) arrive while they close.
        SDL_QuitSubSystem(kSubsystems);
        SDL_Quit();
    }
    mX11Trap.reset();
}

std::unique_ptr<TNativeWindow> TSdlVideoSystem::CreateWindow(const std::string& utf8Title,
                                                             int width, int height)
{
    // At the desktop's corner: the display centres the window when it first opens it.
    SDL_Window* window = SDL_CreateWindow(BoundedWindowTitle(utf8Title).c_str(), 0, 0, width,
                                          height, SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        TPlatformLog::Write("video: cannot create the main window: %s", SDL_GetError());
        return nullptr;
    }
    if (mX11Trap)
        WatchConnection(window);
    return std::make_unique<TSdlNativeWindow>(window, &mConnectionLost);
}

// SDL's own connection to the X server, the one its window and events use, is found
// through a window.
void TSdlVideoSystem::WatchConnection(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
        mX11Trap->Watch(info.info.x11.display);
    else
        TPlatformLog::Write("video: no X connection to watch: %s", SDL_GetError());
}

bool TSdlVideoSystem::SetClipboardText(const std::string& utf8)
{
    return SDL_SetClipboardText(BoundedClipboardText(utf8).c_str()) == 0;
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
