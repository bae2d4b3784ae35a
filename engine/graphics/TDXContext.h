#pragma once

// The device context: what exists only while a display is open. It opens the main
// window's display output (TDisplayOutput) for a size and mode, after checking that a
// window of that size fits on the desktop, presents finished back buffers through it and
// keeps the desktop mode and the vsync flag. It also carries the pointer: the cursor
// image (turned into the window system's pointer, magenta transparent), whether it is
// shown, and where the pointer is in display pixels.
//
// The output comes from the platform's main window unless a factory was set
// (SetOutputFactory); it is made on first need and kept for the context's life, opened
// by each Create and closed by Destroy.
//
// Main thread only, except MoveMouse (-1, -1) and GetMousePosition, which the cursor
// thread calls: they only read the stored position and never reach the window system.

#include "engine/foundation/seams/TDisplaySeam.h"
#include "engine/platform/TDisplayOutput.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TSurface;
class TTexture;

class TDXContext
{
public:
    using TPoint = TDisplaySeam::TPoint;
    using TOutputFactory = std::function<std::unique_ptr<TDisplayOutput>()>;

    // Where contexts made from now on take their output; an empty factory restores the
    // platform's main window.
    static void SetOutputFactory(TOutputFactory factory);

    TDXContext();
    ~TDXContext();
    TDXContext(const TDXContext&) = delete;
    TDXContext& operator=(const TDXContext&) = delete;

    // Opens the display: reads the desktop mode again, refuses (false) a window that does
    // not fit on the desktop unless hosted, and opens the output at width x height,
    // windowed or full screen. False, with a log line, when there is no output or it
    // cannot open; Destroy has run first in any case.
    bool Create(bool fullScreen, int width, int height);
    // Closes the output (the window stays). Safe twice.
    void Destroy();
    bool IsOpen() const;
    bool IsFullScreen() const { return mFullScreen; }

    // The desktop: read from the output on first need, by Create and by
    // UpdateDesktopMode; colours are -1 (never palettised).
    void UpdateDesktopMode();
    void SetDesktopMode(int colours, int width, int height);
    int GetDesktopColours() const { return mDesktopColours; }
    int GetDesktopWidth() const { return mDesktopWidth; }
    int GetDesktopHeight() const { return mDesktopHeight; }
    // True unless width and height are both smaller than the desktop's: a window of
    // exactly the desktop's size does not fit.
    bool IsDesktopTooSmall(int width, int height) const;
    // The refresh rate of the screen the window stands on, 0 when unknown.
    int GetRefreshRate();

    // Shows the back buffer (the open display's size). False when it could not be shown.
    bool Present(const TSurface& backBuffer);
    // Makes the output's frame texture anew; false when that fails or nothing is open.
    bool RestoreSurfaces();
    // Waits for the vertical blank in a window when on; full screen always waits.
    void SetVSync(bool on);
    bool GetVSync() const { return mVSync; }

    // The window: centring, position, showing, message boxes. Null without an output.
    TDisplayOutput* GetOutput();

    // The cursor image: texture's picture with its magenta texels transparent, the hot
    // spot at (hotX, hotY); null gives the system's arrow. The pointer is shown. False
    // without an output.
    bool SetMouseImage(const std::shared_ptr<TTexture>& texture, int hotX, int hotY);
    bool HasMouseImage() const { return mHasImage; }
    bool IsMouseVisible() const { return mVisible; }
    // Shows or hides the pointer; nothing when it already is so.
    void ShowMouse(bool show);
    // (windowX, windowY), in window pixels, is where the pointer is now: it is stored in
    // display pixels (stretched in full screen) and answered. (-1, -1) asks for the stored
    // position without a move; it may come from the cursor thread.
    TPoint MoveMouse(int windowX, int windowY);
    // The stored position; (-1, -1) until the pointer moved over the window, and after it
    // left. Any thread.
    TPoint GetMousePosition() const;
    // The pointer left the window: the position becomes (-1, -1).
    void HideCursor();
    // Reads the window's size again (it changes with the mode).
    void UpdateWindowBounds();

private:
    void StorePosition(TPoint point);

    std::unique_ptr<TDisplayOutput> mOutput;
    bool mOutputMade = false;
    bool mFullScreen = false;
    int mWidth = 0;
    int mHeight = 0;
    bool mVSync = false;

    int mDesktopColours = -1;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;

    bool mHasImage = false;
    bool mVisible = false;
    int mWindowWidth = 0;
    int mWindowHeight = 0;
    std::atomic<uint64_t> mPosition; // x in the high half, y in the low half
};
