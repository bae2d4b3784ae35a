#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What shows finished frames in the main window for the SDL display output: made by the
// output's Open for one frame size and the window's current mode, gone at its Close. Two
// ways exist: the window's own surface, drawn by us (TSdlSurfacePresenter), and an SDL
// renderer with a streaming texture (TSdlRendererPresenter). Either stretches the frame
// over the whole window.
//
// A pointer the window system cannot show is drawn over the frame by the presenter: the
// output hands it the image (SetPointerImage) and where it stands (SetPointerPlace)
// before it asks for a frame or for the last one again.
//
// Main thread only.
class TSdlPresenter
{
public:
    virtual ~TSdlPresenter() = default;

    // Renderer name and abilities, for the log.
    virtual std::string Describe() const = 0;
    // Shows a frame of the presenter's size: rows of 0xAARRGGBB pixels (alpha ignored),
    // pitch pixels apart. False, with no log line, when it could not be shown.
    virtual bool Present(const uint32_t* pixels, int pitch) = 0;
    // Shows the last frame again with the pointer where it now stands; false when there is
    // no frame to show.
    virtual bool ShowAgain() = 0;
    // Waits for the vertical blank, or paces frames as if it did.
    virtual void SetVSync(bool on) = 0;
    // Makes the presenter's surfaces anew (the renderer reported a reset); false, with a
    // log line, when it cannot. The last frame is gone.
    virtual bool Restore() = 0;

    // The pointer image drawn over each frame: width x height straight 0xAARRGGBB pixels,
    // copied; null hides it.
    void SetPointerImage(const uint32_t* pixels, int width, int height);
    // The pointer image's top-left in window pixels, and whether it is drawn.
    void SetPointerPlace(int left, int top, bool shown)
    {
        mPointerLeft = left;
        mPointerTop = top;
        mPointerShown = shown;
    }

protected:
    // The pointer image changed (it may now be empty).
    virtual void OnPointerImage() {}

    std::vector<uint32_t> mPointerPixels;
    int mPointerWidth = 0;
    int mPointerHeight = 0;
    int mPointerLeft = 0;
    int mPointerTop = 0;
    bool mPointerShown = false;
};
