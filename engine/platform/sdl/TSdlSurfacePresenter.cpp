#include "engine/platform/sdl/TSdlSurfacePresenter.h"

#include "engine/platform/TPlatformLog.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <thread>

namespace {

// The window's surface, when it is one of the pixels taken; null with a log line.
SDL_Surface* GetTakenSurface(SDL_Window* window)
{
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) {
        TPlatformLog::Write("display: the window has no surface to draw in: %s", SDL_GetError());
        return nullptr;
    }
    const Uint32 format = surface->format->format;
    if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) {
        TPlatformLog::Write("display: the window's surface holds %s pixels, not 32-bit RGB",
                            SDL_GetPixelFormatName(format));
        return nullptr;
    }
    return surface;
}

uint32_t* Row(SDL_Surface* surface, int y)
{
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                       static_cast<std::ptrdiff_t>(y) * surface->pitch);
}

int64_t NowMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// The refresh rate of the screen the window stands on; 0 when SDL does not say.
int RefreshRate(SDL_Window* window)
{
    SDL_DisplayMode mode;
    const int screen = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetCurrentDisplayMode(screen >= 0 ? screen : 0, &mode) != 0)
        return 0;
    return mode.refresh_rate;
}

} // namespace

std::unique_ptr<TSdlSurfacePresenter> TSdlSurfacePresenter::Open(SDL_Window* window, int width,
                                                                 int height, bool vsync)
{
    if (GetTakenSurface(window) == nullptr)
        return nullptr;
    return std::unique_ptr<TSdlSurfacePresenter>(
        new TSdlSurfacePresenter(window, width, height, vsync));
}

TSdlSurfacePresenter::TSdlSurfacePresenter(SDL_Window* window, int width, int height, bool vsync)
    : mWindow(window), mWidth(width), mHeight(height)
{
    mPacer.SetRefreshRate(RefreshRate(window));
    mPacer.SetOn(vsync);
}

std::string TSdlSurfacePresenter::Describe() const
{
    std::string text = "window surface, no GL";
    if (mPacer.IsOn())
        text += ", paced to " + std::to_string(1'000'000 / mPacer.GetPeriod()) + " Hz";
    return text;
}

SDL_Surface* TSdlSurfacePresenter::BeginDrawing()
{
    SDL_Surface* surface = GetTakenSurface(mWindow);
    if (surface == nullptr)
        return nullptr;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        TPlatformLog::Write("display: cannot lock the window's surface: %s", SDL_GetError());
        return nullptr;
    }
    return surface;
}

bool TSdlSurfacePresenter::Finish(SDL_Surface* surface)
{
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    return SDL_UpdateWindowSurface(mWindow) == 0;
}

bool TSdlSurfacePresenter::Present(const uint32_t* pixels, int pitch)
{
    SDL_Surface* surface = BeginDrawing();
    if (surface == nullptr)
        return false;
    if (surface->w != mTargetWidth || surface->h != mTargetHeight) {
        mTargetWidth = surface->w;
        mTargetHeight = surface->h;
        mScaler.SetSizes(mWidth, mHeight, mTargetWidth, mTargetHeight);
    }
    mScaler.Scale(pixels, pitch, Row(surface, 0), surface->pitch / 4);
    mUnder = SDL_Rect{};
    DrawPointer(surface);
    mShownSurface = surface;
    mShownPixels = surface->pixels;
    mHasFrame = true;
    WaitForRefresh();
    return Finish(surface);
}

void TSdlSurfacePresenter::WaitForRefresh()
{
    const int64_t wait = mPacer.TimeUntilDue(NowMicroseconds());
    if (wait > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
    mPacer.Presented(NowMicroseconds());
}

bool TSdlSurfacePresenter::ShowAgain()
{
    if (!mHasFrame)
        return false;
    SDL_Surface* surface = BeginDrawing();
    if (surface == nullptr)
        return false;
    if (!IsSameSurface(surface)) {
        mHasFrame = false;
        if (SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
        return false;
    }
    ErasePointer(surface);
    DrawPointer(surface);
    return Finish(surface);
}

bool TSdlSurfacePresenter::IsSameSurface(const SDL_Surface* surface) const
{
    return surface == mShownSurface && surface->pixels == mShownPixels &&
           surface->w == mTargetWidth && surface->h == mTargetHeight;
}

void TSdlSurfacePresenter::SetVSync(bool on)
{
    mPacer.SetRefreshRate(RefreshRate(mWindow));
    mPacer.SetOn(on);
}

bool TSdlSurfacePresenter::Restore()
{
    mHasFrame = false;
    mUnder = SDL_Rect{};
    mTargetWidth = 0;
    mTargetHeight = 0;
    mPacer.Reset();
    return true;
}

// Keeps the pixels under the pointer, then blends its image over them by its alpha.
void TSdlSurfacePresenter::DrawPointer(SDL_Surface* surface)
{
    mUnder = SDL_Rect{};
    if (!mPointerShown || mPointerPixels.empty())
        return;
    const SDL_Rect image = {mPointerLeft, mPointerTop, mPointerWidth, mPointerHeight};
    const SDL_Rect bounds = {0, 0, surface->w, surface->h};
    if (!SDL_IntersectRect(&image, &bounds, &mUnder))
        return;
    mUnderPixels.resize(static_cast<size_t>(mUnder.w) * mUnder.h);
    for (int y = 0; y < mUnder.h; ++y) {
        uint32_t* row = Row(surface, mUnder.y + y) + mUnder.x;
        std::memcpy(&mUnderPixels[static_cast<size_t>(y) * mUnder.w], row,
                    static_cast<size_t>(mUnder.w) * 4);
        const uint32_t* source =
            &mPointerPixels[static_cast<size_t>(mUnder.y - image.y + y) * mPointerWidth +
                            (mUnder.x - image.x)];
        for (int x = 0; x < mUnder.w; ++x) {
            const int alpha = static_cast<int>(source[x] >> 24);
            row[x] = TFrameScaler::Blend(row[x], source[x], alpha + (alpha >> 7));
        }
    }
}

void TSdlSurfacePresenter::ErasePointer(SDL_Surface* surface)
{
    for (int y = 0; y < mUnder.h; ++y)
        std::memcpy(Row(surface, mUnder.y + y) + mUnder.x,
                    &mUnderPixels[static_cast<size_t>(y) * mUnder.w],
                    static_cast<size_t>(mUnder.w) * 4);
    mUnder = SDL_Rect{};
}
