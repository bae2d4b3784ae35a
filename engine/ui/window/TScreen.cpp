#include "engine/ui/window/TScreen.h"

#include "engine/graphics/TRenderer.h"

TScreen::TScreen()
{
    SetFlags(GetFlags() | kOpaque);
}

TClassId TScreen::ClassId()
{
    return reinterpret_cast<TClassId>(&TScreen::ClassId);
}

// Cleared whether or not a dialog lies over the screen: under a translucent dialog the
// back buffer would otherwise keep what earlier frames left there.
void TScreen::Draw()
{
    TRenderer* renderer = TRenderer::Get();
    const TRect viewport = renderer->GetViewport();
    renderer->FillRect(TRect(0, 0, viewport.right - viewport.left, viewport.bottom - viewport.top),
                       mClearColor);
}
