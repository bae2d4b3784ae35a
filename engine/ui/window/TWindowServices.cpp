#include "engine/ui/window/TWindowServices.h"

namespace {

TWindowServices* sCurrent = nullptr;

} // namespace

void TWindowServices::SetCurrent(TWindowServices* services)
{
    sCurrent = services;
}

TWindowServices* GetWindowServices()
{
    return sCurrent;
}

void InvalidateWindows()
{
    if (sCurrent != nullptr)
        sCurrent->Invalidate();
}
