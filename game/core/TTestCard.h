#pragma once

// NOTE: part of the temporary game until the game framework's own entry exists: a window
// that draws a test card of eight colour bars on a dark ground over its whole area, so
// that what the display shows can be compared with what was drawn.

#include "engine/ui/window/TWindow.h"

class TTestCard final : public TWindow
{
public:
    const char* GetClassName() const override { return "TTestCard"; }
    void Draw() override;
};
