#include "engine/platform/sdl/TSdlDisplayOutput.h"

#include "engine/platform/TPlatformLog.h"

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

TSdlDisplayOutput::TSdlDisplayOutput(SDL_Window* window, const std::atomic<bool>* connectionLost)
    : mWindow(window), mConnectionLost(connectionLost)
{
    SDL_AddEventWatch(&TSdlDisplayOutput::WatchEvents, this);
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
    mRenderer = CreateRenderer(vsync);
    if (mRenderer == nullptr)
        return false;
    mWidth = width;
    mHeight = height;
    mTexturesReset = false;
    if (!CreateTextures()) {
        Close();
        return false;
    }
    return true;
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

SDL_Renderer* TSdlDisplayOutput::CreateRenderer(bool vsync)
{
    const Uint32 sync = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    if (SDL_Renderer* renderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_ACCELERATED | sync))
        return renderer;
    TPlatformLog::Write("display: no accelerated renderer (%s); drawing in software",
                        SDL_GetError());
    if (SDL_Renderer* renderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_SOFTWARE | sync))
        return renderer;
    TPlatformLog::Write("display: cannot make a renderer for the window: %s", SDL_GetError());
    return nullptr;
}

bool TSdlDisplayOutput::CreateTextures()
{
    mHasFrame = false;
    mFrame = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                               mWidth, mHeight);
    if (mFrame == nullptr) {
        TPlatformLog::Write("display: cannot make the %dx%d frame texture: %s", mWidth, mHeight,
                            SDL_GetError());
        return false;
    }
    // The frame's alpha bytes mean nothing on the screen; in full screen it is stretched.
    SDL_SetTextureBlendMode(mFrame, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(mFrame, SDL_ScaleModeLinear);
    CreatePointerTexture();
    return true;
}

void TSdlDisplayOutput::CreatePointerTexture()
{
    if (!mDrawsPointer || mCursorPixels.empty())
        return;
    mPointer = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                 mCursorWidth, mCursorHeight);
    if (mPointer == nullptr) {
        // The game goes on without a pointer.
        TPlatformLog::Write("display: cannot make the pointer texture: %s", SDL_GetError());
        return;
    }
    SDL_SetTextureBlendMode(mPointer, SDL_BLENDMODE_BLEND);
    SDL_UpdateTexture(mPointer, nullptr, mCursorPixels.data(), mCursorWidth * 4);
}

void TSdlDisplayOutput::DestroyPointerTexture()
{
    if (mPointer != nullptr)
        SDL_DestroyTexture(mPointer);
    mPointer = nullptr;
}

void TSdlDisplayOutput::DestroyTextures()
{
    DestroyPointerTexture();
    if (mFrame != nullptr)
        SDL_DestroyTexture(mFrame);
    mFrame = nullptr;
    mHasFrame = false;
}

void TSdlDisplayOutput::Close()
{
    DestroyTextures();
    if (mRenderer != nullptr)
        SDL_DestroyRenderer(mRenderer);
    mRenderer = nullptr;
}

std::string TSdlDisplayOutput::Describe() const
{
    SDL_RendererInfo info;
    if (mRenderer == nullptr || SDL_GetRendererInfo(mRenderer, &info) != 0)
        return {};
    std::string text = info.name != nullptr ? info.name : "?";
    if ((info.flags & SDL_RENDERER_ACCELERATED) != 0)
        text += ", accelerated";
    if ((info.flags & SDL_RENDERER_PRESENTVSYNC) != 0)
        text += ", vsync";
    return text;
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
    if (mRenderer == nullptr)
        return false;
    if (mTexturesReset.exchange(false) && !RestoreSurfaces())
        return false;
    if (Upload(pixels, pitch) && DrawFrame())
        return true;
    // A texture the renderer lost without saying so: once more with new ones.
    if (RestoreSurfaces() && Upload(pixels, pitch) && DrawFrame())
        return true;
    TPlatformLog::Write("display: cannot present a frame: %s", SDL_GetError());
    return false;
}

bool TSdlDisplayOutput::Upload(const uint32_t* pixels, int pitch)
{
    if (SDL_UpdateTexture(mFrame, nullptr, pixels, pitch * 4) != 0)
        return false;
    mHasFrame = true;
    return true;
}

bool TSdlDisplayOutput::DrawFrame()
{
    if (SDL_RenderCopy(mRenderer, mFrame, nullptr, nullptr) != 0)
        return false;
    if (IsDrawingPointer() && mPointer != nullptr) {
        const SDL_Rect where = {mPointerX - mHotX, mPointerY - mHotY, mCursorWidth, mCursorHeight};
        SDL_RenderCopy(mRenderer, mPointer, nullptr, &where);
    }
    SDL_RenderPresent(mRenderer);
    return true;
}

void TSdlDisplayOutput::SetVSync(bool on)
{
    if (mRenderer != nullptr && SDL_RenderSetVSync(mRenderer, on ? 1 : 0) != 0)
        TPlatformLog::Write("display: vsync %s refused: %s", on ? "on" : "off", SDL_GetError());
}

bool TSdlDisplayOutput::RestoreSurfaces()
{
    if (mRenderer == nullptr)
        return false;
    DestroyTextures();
    return CreateTextures();
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
    DestroyPointerTexture();
    if (mRenderer != nullptr)
        CreatePointerTexture();
}

void TSdlDisplayOutput::ShowCursor(bool show)
{
    mCursorShown = show;
    SelectPointer();
    if (mDrawsPointer && mHasFrame)
        DrawFrame();
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
    if (moved && mDrawsPointer && mCursorShown && mHasFrame)
        DrawFrame();
}
