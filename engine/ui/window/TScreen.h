#pragma once

#include "engine/foundation/math/TColor.h"
#include "engine/ui/window/TModalWindow.h"

// The modal window at the bottom of the stack, made for the display (the root window).
// It is opaque and clears its area with its clear colour whenever it is drawn, so
// nothing of an earlier frame shows through what lies above it.
class TScreen : public TModalWindow
{
public:
    TScreen();

    static TClassId ClassId();
    const char* GetClassName() const override { return "TScreen"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TModalWindow::IsKindOf(classId);
    }

    void Draw() override;

    void SetClearColor(const TColor& color) { mClearColor = color; }
    const TColor& GetClearColor() const { return mClearColor; }

private:
    TColor mClearColor = TColor(0, 0, 0, 0);
};
