#include "engine/platform/sdl/TSdlRendererPresenter.h"

#include "engine/platform/TPlatformLog.h"

namespace {

SDL_Renderer* CreateRenderer(SDL_Window* window, bool vsync)
{
    const Uint32 sync = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    if (SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | sync))
        return renderer;
    TPlatformLog::Write("display: no accelerated renderer (%s); drawing in software",
                        SDL_GetError());
    if (SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | sync))
        return renderer;
    TPlatformLog::Write("display: cannot make a renderer for the window: %s", SDL_GetError());
    return nullptr;
}

} // namespace

std::unique_ptr<TSdlRendererPresenter> TSdlRendererPresenter::Open(SDL_Window* window, int width,
                                                                   int height, bool vsync)
{
    SDL_Renderer* renderer = CreateRenderer(window, vsync);
    if (renderer == nullptr)
        return nullptr;
    std::unique_ptr<TSdlRendererPresenter> presenter(
        new TSdlRendererPresenter(renderer, width, height));
    if (!presenter->CreateTextures())
        return nullptr;
    return presenter;
}

TSdlRendererPresenter::TSdlRendererPresenter(SDL_Renderer* renderer, int width, int height)
    : mRenderer(renderer), mWidth(width), mHeight(height)
{
}

TSdlRendererPresenter::~TSdlRendererPresenter()
{
    DestroyTextures();
    SDL_DestroyRenderer(mRenderer);
}

bool TSdlRendererPresenter::CreateTextures()
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

void TSdlRendererPresenter::CreatePointerTexture()
{
    if (mPointerPixels.empty())
        return;
    mPointer = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                 mPointerWidth, mPointerHeight);
    if (mPointer == nullptr) {
        // The game goes on without a pointer.
        TPlatformLog::Write("display: cannot make the pointer texture: %s", SDL_GetError());
        return;
    }
    SDL_SetTextureBlendMode(mPointer, SDL_BLENDMODE_BLEND);
    SDL_UpdateTexture(mPointer, nullptr, mPointerPixels.data(), mPointerWidth * 4);
}

void TSdlRendererPresenter::DestroyPointerTexture()
{
    if (mPointer != nullptr)
        SDL_DestroyTexture(mPointer);
    mPointer = nullptr;
}

void TSdlRendererPresenter::DestroyTextures()
{
    DestroyPointerTexture();
    if (mFrame != nullptr)
        SDL_DestroyTexture(mFrame);
    mFrame = nullptr;
    mHasFrame = false;
}

std::string TSdlRendererPresenter::Describe() const
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(mRenderer, &info) != 0)
        return "SDL renderer";
    std::string text = info.name != nullptr ? info.name : "?";
    if ((info.flags & SDL_RENDERER_ACCELERATED) != 0)
        text += ", accelerated";
    if ((info.flags & SDL_RENDERER_PRESENTVSYNC) != 0)
        text += ", vsync";
    return text;
}

bool TSdlRendererPresenter::Present(const uint32_t* pixels, int pitch)
{
    return Upload(pixels, pitch) && DrawFrame();
}

bool TSdlRendererPresenter::ShowAgain()
{
    return mHasFrame && DrawFrame();
}

bool TSdlRendererPresenter::Upload(const uint32_t* pixels, int pitch)
{
    if (mFrame == nullptr || SDL_UpdateTexture(mFrame, nullptr, pixels, pitch * 4) != 0)
        return false;
    mHasFrame = true;
    return true;
}

bool TSdlRendererPresenter::DrawFrame()
{
    if (SDL_RenderCopy(mRenderer, mFrame, nullptr, nullptr) != 0)
        return false;
    if (mPointerShown && mPointer != nullptr) {
        const SDL_Rect where = {mPointerLeft, mPointerTop, mPointerWidth, mPointerHeight};
        SDL_RenderCopy(mRenderer, mPointer, nullptr, &where);
    }
    SDL_RenderPresent(mRenderer);
    return true;
}

void TSdlRendererPresenter::SetVSync(bool on)
{
    if (SDL_RenderSetVSync(mRenderer, on ? 1 : 0) != 0)
        TPlatformLog::Write("display: vsync %s refused: %s", on ? "on" : "off", SDL_GetError());
}

bool TSdlRendererPresenter::Restore()
{
    DestroyTextures();
    return CreateTextures();
}

void TSdlRendererPresenter::OnPointerImage()
{
    DestroyPointerTexture();
    CreatePointerTexture();
}
