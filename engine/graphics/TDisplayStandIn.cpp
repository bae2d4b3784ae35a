#include "engine/graphics/TDisplayStandIn.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/TDxDisplayHandler.h"

TDisplayStandIn::TDisplayStandIn(TDxDisplayHandler& handler) : mHandler(handler)
{
    TraceLog("display: stand-in (frames are drawn in memory, nothing is shown)");
}

bool TDisplayStandIn::SetDisplay(int width, int height, bool fullScreen, bool)
{
    TraceLog("display: stand-in mode %dx%d%s", width, height,
             fullScreen ? ", full screen refused" : "");
    return mHandler.OpenBackBuffer(width, height);
}

bool TDisplayStandIn::IsValid() const
{
    return mHandler.IsValid();
}

bool TDisplayStandIn::SetFullScreen(bool fullScreen)
{
    if (fullScreen)
        TraceLog("display: stand-in cannot show full screen");
    return false;
}

void TDisplayStandIn::ResetWorkingCount()
{
    mHandler.ResetWorkingCount();
}

TDisplaySeam::TPoint TDisplayStandIn::MoveMouse(int windowX, int windowY)
{
    if (windowX == -1 && windowY == -1)
        return GetMousePosition();
    mX.store(windowX);
    mY.store(windowY);
    return {windowX, windowY};
}
