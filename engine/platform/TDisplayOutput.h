#pragma once

#include <cstdint>
#include <string>

// The main window as the display sees it: the desktop it stands on, its mode (a window of
// the frame's size, or covering the whole desktop with the frame stretched over it), the
// presentation of finished frames, message boxes owned by the window, and the pointer's
// image. Made by the window (TNativeWindow::CreateDisplayOutput) and living no longer
// than it.
//
// Main thread only: no operation may be called from another thread (the cursor thread
// included).
class TDisplayOutput
{
public:
    struct TDesktopMode
    {
        int width = 0;
        int height = 0;
        int refreshRate = 0; // Hz; 0 when the system does not say
    };

    enum class TMessageIcon
    {
        None,
        Warning, // an exclamation mark
        Stop,    // a failure the game cannot go on from
    };

    // Closes the output (as Close); the window stays.
    virtual ~TDisplayOutput() = default;

    // The desktop mode of the screen the window stands on (full screen covers it).
    virtual TDesktopMode GetDesktopMode() = 0;

    // Puts the window into its mode and makes what presents frames of width x height:
    // windowed, the window's inside becomes width x height (its top-left kept inside the
    // screen's usable area); full screen, the window covers its screen and every frame is
    // stretched over it. vsync asks presentation to wait for the vertical blank. Whatever
    // was open is closed first. False, with a log line, when nothing can present; what was
    // made is closed again.
    virtual bool Open(int width, int height, bool fullScreen, bool vsync) = 0;
    // Gives up what presents frames; the window keeps its mode. Safe twice, and after a
    // failed Open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Renderer name and abilities, for the log; empty while closed.
    virtual std::string Describe() const = 0;

    // Centres the window on the screen it stands on (the whole screen, not its usable
    // area), keeping its size.
    virtual void CentreOnScreen() = 0;
    // The window's top-left on the desktop, and the size of its inside in pixels (in full
    // screen, the screen's size).
    virtual void GetWindowPosition(int& x, int& y) = 0;
    virtual void GetWindowSize(int& width, int& height) = 0;
    // Makes the window visible; activate also raises it and asks for the input focus.
    virtual void Show(bool activate) = 0;

    // Shows a frame of the size given to Open: rows of engine pixels (0xAARRGGBB, alpha
    // ignored), pitch pixels apart. False, with a log line, when it cannot be shown even
    // after the output rebuilt its frame texture; the output is then to be opened again.
    virtual bool Present(const uint32_t* pixels, int pitch) = 0;
    virtual void SetVSync(bool on) = 0;
    // Makes what presents frames anew (the renderer reported that its textures were
    // reset); false, with a log line, when it cannot.
    virtual bool RestoreSurfaces() = 0;

    // A modal message box owned by the window; returns when it is dismissed. Without a
    // window system that can show one, the text goes to the log and the standard error
    // stream instead.
    virtual void ShowMessage(TMessageIcon icon, const char* caption, const char* text) = 0;

    // The pointer's image over the window: width x height straight 0xAARRGGBB pixels
    // (alpha 0 transparent, 255 opaque) with the hot spot at (hotX, hotY); null pixels
    // give the system's arrow. The image is copied. When the window system cannot take
    // the image as its pointer, the output draws it over each presented frame itself.
    virtual void SetCursorImage(const uint32_t* pixels, int width, int height, int hotX,
                                int hotY) = 0;
    // Shows or hides the pointer over the window. Hidden, the system's arrow is selected,
    // so that whoever shows the system pointer (a host's pause) shows the arrow.
    virtual void ShowCursor(bool show) = 0;
    // Where the pointer is now, in window pixels; (-1, -1) when it left the window. Only
    // an output that draws the pointer itself uses it (it shows the last frame again).
    virtual void TrackPointer(int x, int y) = 0;
};
