#include "engine/platform/sdl/TSdlNativeWindow.h"

#include "engine/platform/sdl/SdlTextLimits.h"
#include "engine/platform/sdl/TSdlDisplayOutput.h"

TSdlNativeWindow::TSdlNativeWindow(SDL_Window* window, const std::atomic<bool>* connectionLost)
    : mWindow(window), mConnectionLost(connectionLost)
{
}

// Without a connection SDL's window stays in its list until the process ends.
TSdlNativeWindow::~TSdlNativeWindow()
{
    if (!IsConnectionLost())
        SDL_DestroyWindow(mWindow);
}

void TSdlNativeWindow::SetTitle(const std::string& utf8Title)
{
    SDL_SetWindowTitle(mWindow, BoundedWindowTitle(utf8Title).c_str());
}

std::string TSdlNativeWindow::GetTitle() const
{
    return SDL_GetWindowTitle(mWindow);
}

void TSdlNativeWindow::Show()
{
    if (IsConnectionLost())
        return;
    SDL_ShowWindow(mWindow);
    SDL_RaiseWindow(mWindow);
}

bool TSdlNativeWindow::IsShown() const
{
    return (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_SHOWN) != 0;
}

bool TSdlNativeWindow::IsMinimized() const
{
    return (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_MINIMIZED) != 0;
}

bool TSdlNativeWindow::HasInputFocus() const
{
    return (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void TSdlNativeWindow::CaptureMouse(bool capture)
{
    // Some drivers (the dummy one among them) cannot capture; the engine works on
    // without it, so the answer is not checked.
    SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

void TSdlNativeWindow::GetSize(int& width, int& height) const
{
    SDL_GetWindowSize(mWindow, &width, &height);
}

void TSdlNativeWindow::SetIcon(const uint32_t* pixels, int width, int height)
{
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr)
        return;
    SDL_SetWindowIcon(mWindow, icon);
    SDL_FreeSurface(icon);
}

std::unique_ptr<TDisplayOutput> TSdlNativeWindow::CreateDisplayOutput()
{
    return std::make_unique<TSdlDisplayOutput>(mWindow, mConnectionLost);
}
