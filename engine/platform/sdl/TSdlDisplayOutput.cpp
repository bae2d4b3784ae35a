#include "engine/platform/sdl/TSdlDisplayOutput.h"

#include "engine/platform/TPlatformLog.h"
#include "engine/platform/sdl/TSdlRendererPresenter.h"
#include "engine/platform/sdl/TSdlSurfacePresenter.h"

#include <cstdio>

namespace {

Uint32 MessageFlags(TDisplayOutput::TMessageIcon icon)
{
    switch (icon) {
    case TDisplayOutput::TMessageIcon::Warning:
        return SDL_MESSAGEBOX_WARNING;
    case TDisplayOutput::TMessageIcon::Stop:
        return SDL_MESSAGEBOX_ERROR;
    case TDisplayOutput::TMessageIcon::None:
        break;
    }
    return 0;
}

} // namespace

TSdlDisplayOutput::TSdlDisplayOutput(SDL_Window* window, const std::atomic<bool>* connectionLost,
                                     TSdlPresentation presentation)
    : mWindow(window), mConnectionLost(connectionLost), mPresentation(presentation)
{
    SDL_AddEventWatch(&TSdlDisplayOutput::WatchEvents, this);
}

TSdlDisplayOutput::TSdlDisplayOutput(SDL_Window* window, const std::atomic<bool>* connectionLost)
    : TSdlDisplayOutput(window, connectionLost,
                        ChooseSdlPresentation(SDL_GetHint(SDL_HINT_RENDER_DRIVER)))
{
}

TSdlDisplayOutput::~TSdlDisplayOutput()
{
    SDL_DelEventWatch(&TSdlDisplayOutput::WatchEvents, this);
    Close();
    if (mCursor != nullptr) {
        SDL_SetCursor(SDL_GetDefaultCursor());
        SDL_FreeCursor(mCursor);
    }
}

// Runs where SDL queues the event: the main thread, inside the renderer or the pump.
int TSdlDisplayOutput::WatchEvents(void* self, SDL_Event* event)
{
    if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET)
        static_cast<TSdlDisplayOutput*>(self)->mTexturesReset = true;
    return 0;
}

int TSdlDisplayOutput::GetScreen() const
{
    const int screen = SDL_GetWindowDisplayIndex(mWindow);
    return screen >= 0 ? screen : 0;
}

TDisplayOutput::TDesktopMode TSdlDisplayOutput::GetDesktopMode()
{
    TDesktopMode desktop;
    SDL_DisplayMode mode;
    const int screen = GetScreen();
    if (SDL_GetDesktopDisplayMode(screen, &mode) == 0) {
        desktop.width = mode.w;
        desktop.height = mode.h;
    } else {
        TPlatformLog::Write("display: no desktop mode for screen %d: %s", screen, SDL_GetError());
    }
    if (SDL_GetCurrentDisplayMode(screen, &mode) == 0)
        desktop.refreshRate = mode.refresh_rate;
    return desktop;
}

bool TSdlDisplayOutput::Open(int width, int height, bool fullScreen, bool vsync)
{
    Close();
    if (width <= 0 || height <= 0)
        return false;
    if (IsConnectionLost()) {
        TPlatformLog::Write("display: no connection to the window system");
        return false;
    }
    if (!SetWindowMode(width, height, fullScreen))
        return false;
    mTexturesReset = false;
    mPresenter = OpenPresenter(width, height, vsync);
    if (mPresenter == nullptr)
        return false;
    if (mDrawsPointer)
        mPresenter->SetPointerImage(mCursorPixels.data(), mCursorWidth, mCursorHeight);
    return true;
}

std::unique_ptr<TSdlPresenter> TSdlDisplayOutput::OpenPresenter(int width, int height,
                                                                bool vsync) const
{
    if (mPresentation == TSdlPresentation::WindowSurface) {
        if (auto presenter = TSdlSurfacePresenter::Open(mWindow, width, height, vsync))
            return presenter;
        TPlatformLog::Write("display: showing frames through an SDL renderer instead");
    }
    return TSdlRendererPresenter::Open(mWindow, width, height, vsync);
}

bool TSdlDisplayOutput::SetWindowMode(int width, int height, bool fullScreen)
{
    if (SDL_SetWindowFullscreen(mWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        TPlatformLog::Write("display: cannot make the window %s: %s",
                            fullScreen ? "full screen" : "windowed", SDL_GetError());
        return false;
    }
    if (fullScreen)
        return true;
    SDL_SetWindowBordered(mWindow, SDL_TRUE);
    SDL_SetWindowSize(mWindow, width, height);
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(GetScreen(), &usable) != 0)
        return true;
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(mWindow, &x, &y);
    if (x < usable.x || y < usable.y)
        SDL_SetWindowPosition(mWindow, x < usable.x ? usable.x : x, y < usable.y ? usable.y : y);
    return true;
}

void TSdlDisplayOutput::Close()
{
    mPresenter.reset();
}

std::string TSdlDisplayOutput::Describe() const
{
    return mPresenter ? mPresenter->Describe() : std::string();
}

void TSdlDisplayOutput::CentreOnScreen()
{
    if (IsConnectionLost())
        return;
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(GetScreen(), &screen) != 0)
        return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(mWindow, &width, &height);
    // A window larger than its screen keeps that side at the screen's edge.
    const int x = width < screen.w ? screen.x + (screen.w - width) / 2 : screen.x;
    const int y = height < screen.h ? screen.y + (screen.h - height) / 2 : screen.y;
    SDL_SetWindowPosition(mWindow, x, y);
}

void TSdlDisplayOutput::GetWindowPosition(int& x, int& y)
{
    SDL_GetWindowPosition(mWindow, &x, &y);
}

void TSdlDisplayOutput::GetWindowSize(int& width, int& height)
{
    SDL_GetWindowSize(mWindow, &width, &height);
}

void TSdlDisplayOutput::Show(bool activate)
{
    if (IsConnectionLost())
        return;
    SDL_ShowWindow(mWindow);
    if (activate)
        SDL_RaiseWindow(mWindow);
}

bool TSdlDisplayOutput::Present(const uint32_t* pixels, int pitch)
{
    if (mPresenter == nullptr)
        return false;
    if (mTexturesReset.exchange(false) && !RestoreSurfaces())
        return false;
    PlacePointer();
    if (mPresenter->Present(pixels, pitch))
        return true;
    // Surfaces lost without a word: once more with new ones.
    if (RestoreSurfaces() && mPresenter->Present(pixels, pitch))
        return true;
    TPlatformLog::Write("display: cannot present a frame: %s", SDL_GetError());
    return false;
}

void TSdlDisplayOutput::SetVSync(bool on)
{
    if (mPresenter != nullptr)
        mPresenter->SetVSync(on);
}

bool TSdlDisplayOutput::RestoreSurfaces()
{
    return mPresenter != nullptr && mPresenter->Restore();
}

void TSdlDisplayOutput::ShowMessage(TMessageIcon icon, const char* caption, const char* text)
{
    if (SDL_ShowSimpleMessageBox(MessageFlags(icon), caption, text, mWindow) == 0)
        return;
    TPlatformLog::Write("display: message box \"%s\" not shown (%s): %s", caption, SDL_GetError(),
                        text);
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void TSdlDisplayOutput::SetCursorImage(const uint32_t* pixels, int width, int height, int hotX,
                                       int hotY)
{
    SDL_Cursor* previous = mCursor;
    mCursor = nullptr;
    mDrawsPointer = false;
    mCursorPixels.clear();
    if (pixels != nullptr && width > 0 && height > 0) {
        mCursorPixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
        mCursorWidth = width;
        mCursorHeight = height;
        mHotX = hotX;
        mHotY = hotY;
        SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(
            mCursorPixels.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (image != nullptr) {
            mCursor = SDL_CreateColorCursor(image, hotX, hotY);
            SDL_FreeSurface(image);
        }
        if (mCursor == nullptr) {
            TPlatformLog::Write("display: the pointer is drawn over the frame (%s)",
                                SDL_GetError());
            mDrawsPointer = true;
        }
    }
    SelectPointer();
    if (previous != nullptr)
        SDL_FreeCursor(previous);
    if (mPresenter != nullptr)
        mPresenter->SetPointerImage(mDrawsPointer ? mCursorPixels.data() : nullptr, mCursorWidth,
                                    mCursorHeight);
}

void TSdlDisplayOutput::ShowCursor(bool show)
{
    mCursorShown = show;
    SelectPointer();
    if (mDrawsPointer)
        ShowAgain();
}

// Hidden, or drawn by the output, the system's pointer is the arrow and not shown.
void TSdlDisplayOutput::SelectPointer()
{
    const bool ownImage = mCursorShown && mCursor != nullptr;
    SDL_SetCursor(ownImage ? mCursor : SDL_GetDefaultCursor());
    SDL_ShowCursor(mCursorShown && !mDrawsPointer ? SDL_ENABLE : SDL_DISABLE);
}

bool TSdlDisplayOutput::IsDrawingPointer() const
{
    return mDrawsPointer && mCursorShown && mPointerX >= 0 && mPointerY >= 0;
}

void TSdlDisplayOutput::TrackPointer(int x, int y)
{
    const bool moved = x != mPointerX || y != mPointerY;
    mPointerX = x;
    mPointerY = y;
    if (moved && mDrawsPointer && mCursorShown)
        ShowAgain();
}

// Tells the presenter where the pointer it draws stands, and whether it is drawn.
void TSdlDisplayOutput::PlacePointer()
{
    if (mPresenter != nullptr)
        mPresenter->SetPointerPlace(mPointerX - mHotX, mPointerY - mHotY, IsDrawingPointer());
}

bool TSdlDisplayOutput::ShowAgain()
{
    PlacePointer();
    return mPresenter != nullptr && mPresenter->ShowAgain();
}
