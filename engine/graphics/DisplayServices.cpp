#include "engine/graphics/DisplayServices.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/platform/TTimeSource.h"

namespace {

TWindowManagerSeam* WindowManager()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? platform->GetWindowManager() : nullptr;
}

} // namespace

uint32_t DisplayClock()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? platform->GetTimer() : TTimeSource::Now();
}

void SleepForDisplay(int milliseconds)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->Sleep(milliseconds);
}

bool IsMainWindowMinimized()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr && platform->GetData().GetPump().IsMinimized();
}

bool IsWindowDrawingSuspended()
{
    TWindowManagerSeam* windows = WindowManager();
    return windows != nullptr && windows->IsSuspended();
}

void InvalidateAllWindows()
{
    if (TWindowManagerSeam* windows = WindowManager())
        windows->Invalidate();
}
