#pragma once

// NOTE: a temporary stand-in for the display side (window, showing frames, cursor) until
// it is built: SetDisplay gives the display handler an in-memory back buffer of the
// asked size, so everything draws, but nothing is shown. It says so in the log once.

#include "engine/foundation/seams/TDisplaySeam.h"

#include <atomic>

class TDxDisplayHandler;

class TDisplayStandIn final : public TDisplaySeam
{
public:
    explicit TDisplayStandIn(TDxDisplayHandler& handler);

    bool SetDisplay(int width, int height, bool fullScreen, bool hosted) override;
    void CalibrateTexelOffset() override {}
    bool IsValid() const override;
    void Restore() override {}
    bool IsFullScreen() const override { return false; }
    bool SetFullScreen(bool fullScreen) override;
    void ResetWorkingCount() override;
    void UpdateDesktopMode() override {}
    void SetVSync(bool) override {}
    bool IsPresentDone() const override { return true; }
    void OutOfVideoMemory() override {}
    TPoint MoveMouse(int windowX, int windowY) override;
    TPoint GetMousePosition() const override { return {mX.load(), mY.load()}; }
    void EraseMouse() override {}
    void UpdateWindowBounds() override {}
    void ShowMouse(bool) override {}
    void SetMouseImage(std::shared_ptr<TTexture>, int, int, bool) override {}

private:
    TDxDisplayHandler& mHandler;
    std::atomic<int> mX{0};
    std::atomic<int> mY{0};
};
