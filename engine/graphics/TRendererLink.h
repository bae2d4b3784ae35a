#pragma once

// The renderer as the platform sees it (TRendererSeam): made by the factory that
// InstallGraphics puts into the engine's seams. It makes the process-wide TRenderer when
// it is made and destroys it when it is destroyed; the platform owns it.

#include "engine/foundation/seams/TRendererSeam.h"

#include <memory>

class TDisplayLink;

class TRendererLink final : public TRendererSeam
{
public:
    TRendererLink();
    ~TRendererLink() override;

    TDisplaySeam* GetDisplay() override;
    TDisplaySeam* CreateDisplay() override;
    void ToggleStats() override;
    void PopClipRect() override;
    void PushClipRect(int left, int top, int right, int bottom) override;
    void FillRect(int left, int top, int right, int bottom, uint32_t color) override;

private:
    std::unique_ptr<TDisplayLink> mDisplay;
};
