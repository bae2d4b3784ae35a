#pragma once

#include "engine/ui/window/TWindowSpider.h"

// Keeps only the flags of mask on every visited window (through TWindow::SetFlags, so
// only bits 8 to 15 can change).
class TWindowClearFlags final : public TWindowSpider
{
public:
    explicit TWindowClearFlags(unsigned int mask) : mMask(mask) {}

    bool Visit(TWindow* window) override;

private:
    unsigned int mMask;
};
