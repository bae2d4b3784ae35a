#include "engine/ui/window/TWindowRef.h"

TWindowRef::TWindowRef(TWindow* window)
{
    if (window == nullptr)
        return;
    if (window->mHandleCell == nullptr)
        window->mHandleCell = std::make_shared<TWindow*>(window);
    mCell = window->mHandleCell;
}
