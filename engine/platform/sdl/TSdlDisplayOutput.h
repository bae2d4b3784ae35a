#pragma once

#include "engine/platform/TDisplayOutput.h"

#include <SDL.h>

#include <atomic>
#include <vector>

// The display output on SDL2: the main window, an SDL renderer (accelerated, else
// software) and one streaming texture that each frame is copied into and drawn over the
// whole window with. The pointer is an SDL colour cursor; where the video driver takes
// none, the output draws the pointer's image over the frame itself and shows the last
// frame again when the pointer moves.
class TSdlDisplayOutput final : public TDisplayOutput
{
public:
    // window must outlive this object.
    // connectionLost, where given, is set when the window system's connection is gone
    // (it outlives this object); the window is then neither shown nor changed, since
    // SDL would wait for events about it that cannot come.
    explicit TSdlDisplayOutput(SDL_Window* window,
                               const std::atomic<bool>* connectionLost = nullptr);
    ~TSdlDisplayOutput() override;
    TSdlDisplayOutput(const TSdlDisplayOutput&) = delete;
    TSdlDisplayOutput& operator=(const TSdlDisplayOutput&) = delete;

    TDesktopMode GetDesktopMode() override;
    bool Open(int width, int height, bool fullScreen, bool vsync) override;
    void Close() override;
    bool IsOpen() const override { return mRenderer != nullptr; }
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
    SDL_Renderer* CreateRenderer(bool vsync);
    bool CreateTextures();
    void CreatePointerTexture();
    void DestroyPointerTexture();
    void DestroyTextures();
    bool Upload(const uint32_t* pixels, int pitch);
    bool DrawFrame();
    bool IsDrawingPointer() const;
    void SelectPointer();

    bool IsConnectionLost() const { return mConnectionLost != nullptr && mConnectionLost->load(); }

    SDL_Window* mWindow;
    const std::atomic<bool>* mConnectionLost;
    SDL_Renderer* mRenderer = nullptr;
    SDL_Texture* mFrame = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    bool mHasFrame = false;
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
    SDL_Texture* mPointer = nullptr;
    int mPointerX = -1;
    int mPointerY = -1;
};
