#pragma once

// The display as the platform sees it (TDisplaySeam): made by the renderer's link on the
// platform's first display set-up, it forwards to the display handler, its set-up and,
// for the pointer, the set-up's device context. The renderer link owns it.

#include "engine/foundation/seams/TDisplaySeam.h"

class TDisplaySetup;
class TDxDisplayHandler;

class TDisplayLink final : public TDisplaySeam
{
public:
    explicit TDisplayLink(TDxDisplayHandler& handler);

    bool SetDisplay(int width, int height, bool fullScreen) override;
    void CalibrateTexelOffset() override;
    bool IsValid() const override;
    bool HasFailed() const override;
    void Restore() override;
    bool IsFullScreen() const override;
    bool SetFullScreen(bool fullScreen) override;
    void ResetWorkingCount() override;
    void UpdateDesktopMode() override;
    void SetVSync(bool on) override;
    bool IsPresentDone() const override { return true; } // no flip is ever pending
    void OutOfVideoMemory() override;
    TPoint MoveMouse(int windowX, int windowY) override;
    TPoint GetMousePosition() const override;
    void EraseMouse() override;
    void UpdateWindowBounds() override;
    void ShowMouse(bool show) override;
    void SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY,
                       bool temporary) override;

private:
    TDxDisplayHandler& mHandler;
    TDisplaySetup& mSetup;
};
