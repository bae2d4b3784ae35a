#pragma once

#include <memory>

class TTexture;

// What the platform asks of the display (display set-up, frame recovery and the
// software cursor). The renderer owns the display; the platform reaches it through
// TRendererSeam::GetDisplay. Main thread, except where an operation says otherwise.
class TDisplaySeam
{
public:
    struct TPoint
    {
        int x = 0;
        int y = 0;
    };

    virtual ~TDisplaySeam() = default;

    // Opens or changes the display mode; false when no mode could be set.
    virtual bool SetDisplay(int width, int height, bool fullScreen) = 0;
    // Lines up texel centres with pixel centres after a mode change.
    virtual void CalibrateTexelOffset() = 0;

    virtual bool IsValid() const = 0; // surfaces usable; false while lost
    // No display can be had: the game has been sent a quit message, and EngineMain ends
    // the process with exit code -1 once the game returns.
    virtual bool HasFailed() const = 0;
    virtual void Restore() = 0; // tries to get lost surfaces back
    virtual bool IsFullScreen() const = 0;
    virtual bool SetFullScreen(bool fullScreen) = 0; // false when refused
    virtual void ResetWorkingCount() = 0;            // the application went inactive
    virtual void UpdateDesktopMode() = 0;            // the desktop mode changed
    virtual void SetVSync(bool on) = 0;
    virtual bool IsPresentDone() const = 0;
    virtual void OutOfVideoMemory() = 0;

    // The software cursor. MoveMouse is also called by the cursor thread with (-1, -1),
    // meaning "where the pointer is now"; it answers the logical position, x = -1 when
    // the pointer is outside the window. It must be safe to call from that thread.
    virtual TPoint MoveMouse(int windowX, int windowY) = 0;
    virtual TPoint GetMousePosition() const = 0;
    virtual void EraseMouse() = 0;
    virtual void UpdateWindowBounds() = 0;
    virtual void ShowMouse(bool show) = 0;
    // The cursor image and its hot spot; temporary as in TPlatform::SetMouseImage.
    virtual void SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY,
                               bool temporary) = 0;
};
