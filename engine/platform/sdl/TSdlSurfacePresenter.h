#pragma once

#include "engine/platform/TFramePacer.h"
#include "engine/platform/TFrameScaler.h"
#include "engine/platform/sdl/TSdlPresenter.h"

#include <SDL.h>

#include <memory>
#include <vector>

// Frames written straight into the window's own surface (SDL_GetWindowSurface) and shown
// with SDL_UpdateWindowSurface: on X11 a shared-memory image, with no renderer and no GL
// stack loaded (the video system asks SDL for a framebuffer without acceleration). A frame
// of the window's size is copied; another size is stretched over the window by
// TFrameScaler. vsync paces frames to the screen's refresh rate (TFramePacer). A pointer
// drawn by the presenter is blended over the frame, with the pixels under it kept, so
// that moving it repaints only the frame shown.
//
// Takes window surfaces of 32-bit pixels with red, green and blue from high byte to low
// (SDL's RGB888 and ARGB8888), which X11's 24- and 32-bit visuals give.
class TSdlSurfacePresenter final : public TSdlPresenter
{
public:
    // Null, with a log line, when the window has no surface or one of other pixels.
    // window must outlive the presenter.
    static std::unique_ptr<TSdlSurfacePresenter> Open(SDL_Window* window, int width, int height,
                                                      bool vsync);

    std::string Describe() const override;
    bool Present(const uint32_t* pixels, int pitch) override;
    bool ShowAgain() override;
    void SetVSync(bool on) override;
    bool Restore() override;

private:
    TSdlSurfacePresenter(SDL_Window* window, int width, int height, bool vsync);
    // The window's surface now, locked; null with a log line when there is none or its
    // pixels are not of a kind taken. Unlock with Finish.
    SDL_Surface* BeginDrawing();
    // Unlocks surface and shows it in the window.
    bool Finish(SDL_Surface* surface);
    void WaitForRefresh();
    bool IsSameSurface(const SDL_Surface* surface) const;
    void DrawPointer(SDL_Surface* surface);
    void ErasePointer(SDL_Surface* surface);

    SDL_Window* mWindow;
    int mWidth;
    int mHeight;
    TFrameScaler mScaler;
    int mTargetWidth = 0;
    int mTargetHeight = 0;
    TFramePacer mPacer;
    // The surface the last frame went into, and its pixels: a surface SDL made anew (the
    // window changed size) holds no frame.
    const SDL_Surface* mShownSurface = nullptr;
    const void* mShownPixels = nullptr;
    bool mHasFrame = false;

    // The frame's pixels under the drawn pointer (empty rectangle: none).
    SDL_Rect mUnder{};
    std::vector<uint32_t> mUnderPixels;
};
