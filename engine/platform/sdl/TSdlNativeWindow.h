#pragma once

#include "engine/platform/TNativeWindow.h"

#include <SDL.h>

// The main window as an SDL window.
class TSdlNativeWindow final : public TNativeWindow
{
public:
    // Takes ownership of window.
    explicit TSdlNativeWindow(SDL_Window* window);
    ~TSdlNativeWindow() override;

    void SetTitle(const std::string& utf8Title) override;
    std::string GetTitle() const override;
    void Show() override;
    bool IsShown() const override;
    bool IsMinimized() const override;
    bool HasInputFocus() const override;
    void CaptureMouse(bool capture) override;
    void GetSize(int& width, int& height) const override;
    void SetIcon(const uint32_t* pixels, int width, int height) override;
    std::unique_ptr<TDisplayOutput> CreateDisplayOutput() override;

    SDL_Window* GetSdlWindow() const { return mWindow; }

private:
    SDL_Window* mWindow;
};
