#include "engine/ui/window/TWindowClearFlags.h"

#include "engine/ui/window/TWindow.h"

bool TWindowClearFlags::Visit(TWindow* window)
{
    window->SetFlags(window->GetFlags() & mMask);
    return true;
}
