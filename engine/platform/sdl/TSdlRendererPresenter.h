#pragma once

#include "engine/platform/sdl/TSdlPresenter.h"

#include <SDL.h>

#include <memory>

// Frames through an SDL renderer (accelerated, else software): each frame is copied into
// one streaming texture and drawn over the whole window, linearly filtered where it is
// stretched; a pointer drawn by the presenter is a texture of its own. On X11 an
// accelerated renderer loads the system's GL stack.
class TSdlRendererPresenter final : public TSdlPresenter
{
public:
    // A renderer for window and a width x height frame texture; null, with a log line,
    // when neither can be made. window must outlive the presenter.
    static std::unique_ptr<TSdlRendererPresenter> Open(SDL_Window* window, int width, int height,
                                                       bool vsync);
    ~TSdlRendererPresenter() override;
    TSdlRendererPresenter(const TSdlRendererPresenter&) = delete;
    TSdlRendererPresenter& operator=(const TSdlRendererPresenter&) = delete;

    std::string Describe() const override;
    bool Present(const uint32_t* pixels, int pitch) override;
    bool ShowAgain() override;
    void SetVSync(bool on) override;
    bool Restore() override;

private:
    void OnPointerImage() override;
    TSdlRendererPresenter(SDL_Renderer* renderer, int width, int height);
    bool CreateTextures();
    void CreatePointerTexture();
    void DestroyPointerTexture();
    void DestroyTextures();
    bool Upload(const uint32_t* pixels, int pitch);
    bool DrawFrame();

    SDL_Renderer* mRenderer;
    int mWidth;
    int mHeight;
    SDL_Texture* mFrame = nullptr;
    bool mHasFrame = false;
    SDL_Texture* mPointer = nullptr;
};
