#pragma once

#include "engine/platform/TNativeWindow.h"

#include <SDL.h>

#include <atomic>

// The main window as an SDL window.
class TSdlNativeWindow final : public TNativeWindow
{
public:
    // Takes ownership of window. connectionLost, where given, is set when the window
    // system's connection is gone (it outlives this object); the window is then left
    // as it is, since SDL would wait for events about it that cannot come.
    explicit TSdlNativeWindow(SDL_Window* window,
                              const std::atomic<bool>* connectionLost = nullptr);
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
    bool IsConnectionLost() const { return mConnectionLost != nullptr && mConnectionLost->load(); }

    SDL_Window* mWindow;
    const std::atomic<bool>* mConnectionLost;
};
