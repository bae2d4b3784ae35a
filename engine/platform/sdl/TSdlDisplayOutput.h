#pragma once

#include "engine/platform/TDisplayOutput.h"
#include "engine/platform/sdl/SdlPresentation.h"
#include "engine/platform/sdl/TSdlPresenter.h"

#include <SDL.h>

#include <atomic>
#include <memory>
#include <vector>

// The display output on SDL2: the main window, its mode, and a presenter (TSdlPresenter)
// made by each Open that shows frames stretched over the whole window, through the
// window's own surface or an SDL renderer (SdlPresentation.h). The pointer is an SDL
// colour cursor; where the video driver takes none, the presenter draws the pointer's
// image over the frame and shows the last frame again when the pointer moves.
class TSdlDisplayOutput final : public TDisplayOutput
{
public:
    // window must outlive this object.
    // connectionLost, where given, is set when the window system's connection is gone
    // (it outlives this object); the window is then neither shown nor changed, since
    // SDL would wait for events about it that cannot come.
    // presentation is the way Open tries first; a window surface that cannot be had falls
    // back on a renderer.
    TSdlDisplayOutput(SDL_Window* window, const std::atomic<bool>* connectionLost,
                      TSdlPresentation presentation);
    explicit TSdlDisplayOutput(SDL_Window* window,
                               const std::atomic<bool>* connectionLost = nullptr);
    ~TSdlDisplayOutput() override;
    TSdlDisplayOutput(const TSdlDisplayOutput&) = delete;
    TSdlDisplayOutput& operator=(const TSdlDisplayOutput&) = delete;

    TDesktopMode GetDesktopMode() override;
    bool Open(int width, int height, bool fullScreen, bool vsync) override;
    void Close() override;
    bool IsOpen() const override { return mPresenter != nullptr; }
    std::string Describe() const override;
    void CentreOnScreen() override;
    void GetWindowPosition(int& x, int& y) override;
    void GetWindowSize(int& width, int& height) override;
    void Show(bool activate) override;
    bool Present(const uint32_t* pixels, int pitch) override;
    void SetVSync(bool on) override;
    bool RestoreSurfaces() override;
    void ShowMessage(TMessageIcon icon, const char* caption, const char* text) override;
    void SetCursorImage(const uint32_t* pixels, int width, int height, int hotX, int hotY) override;
    void ShowCursor(bool show) override;
    void TrackPointer(int x, int y) override;

private:
    static int WatchEvents(void* self, SDL_Event* event);
    int GetScreen() const;
    bool SetWindowMode(int width, int height, bool fullScreen);
    std::unique_ptr<TSdlPresenter> OpenPresenter(int width, int height, bool vsync) const;
    void PlacePointer();
    bool ShowAgain();
    bool IsDrawingPointer() const;
    void SelectPointer();

    bool IsConnectionLost() const { return mConnectionLost != nullptr && mConnectionLost->load(); }

    SDL_Window* mWindow;
    const std::atomic<bool>* mConnectionLost;
    TSdlPresentation mPresentation;
    std::unique_ptr<TSdlPresenter> mPresenter;
    // Set by SDL's event watch when the renderer's textures were reset.
    std::atomic<bool> mTexturesReset{false};

    SDL_Cursor* mCursor = nullptr;
    std::vector<uint32_t> mCursorPixels;
    int mCursorWidth = 0;
    int mCursorHeight = 0;
    int mHotX = 0;
    int mHotY = 0;
    bool mCursorShown = true;
    bool mDrawsPointer = false; // the driver took no colour cursor
    int mPointerX = -1;
    int mPointerY = -1;
};
