#include "engine/graphics/install/TPlatformGraphicsHost.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/graphics/TStandaloneGraphicsHost.h"

namespace {

TPlatform* Platform()
{
    return TPlatform::GetInstance();
}

TGraphicsHost& Standalone()
{
    return TStandaloneGraphicsHost::Instance();
}

TWindowManagerSeam* WindowManager()
{
    TPlatform* platform = Platform();
    return platform != nullptr ? platform->GetWindowManager() : nullptr;
}

} // namespace

uint32_t TPlatformGraphicsHost::GetTimer()
{
    TPlatform* platform = Platform();
    return platform != nullptr ? platform->GetTimer() : Standalone().GetTimer();
}

void TPlatformGraphicsHost::Sleep(int milliseconds)
{
    if (TPlatform* platform = Platform())
        platform->Sleep(milliseconds);
}

TGraphicsHost::TActivity TPlatformGraphicsHost::GetActivity()
{
    TPlatform* platform = Platform();
    if (platform == nullptr)
        return Standalone().GetActivity();
    const TEventPump& pump = platform->GetData().GetPump();
    return {.active = pump.IsActive(),
            .foreground = pump.IsAppActive(),
            .foregroundChanging = pump.IsAppActiveChanging(),
            .minimized = pump.IsMinimized()};
}

TAssetManager& TPlatformGraphicsHost::GetAssetCache()
{
    TPlatform* platform = Platform();
    return platform != nullptr ? platform->GetAssetManager() : Standalone().GetAssetCache();
}

TTaskList& TPlatformGraphicsHost::GetAnimationTasks()
{
    TPlatform* platform = Platform();
    return platform != nullptr ? platform->GetTaskList() : Standalone().GetAnimationTasks();
}

uint32_t TPlatformGraphicsHost::Random()
{
    TPlatform* platform = Platform();
    return platform != nullptr ? platform->Random() : Standalone().Random();
}

void TPlatformGraphicsHost::RunRefreshTasks()
{
    if (TPlatform* platform = Platform())
        platform->RunRefreshTasks();
}

void TPlatformGraphicsHost::RequestFrame()
{
    if (TWindowManagerSeam* windows = WindowManager())
        windows->Invalidate();
}

TGraphicsHost::TWindowFrames TPlatformGraphicsHost::GetWindowFrames()
{
    TWindowManagerSeam* windows = WindowManager();
    if (windows == nullptr)
        return TWindowFrames::None;
    return windows->IsSuspended() ? TWindowFrames::Suspended : TWindowFrames::Drawn;
}

bool TPlatformGraphicsHost::CanShowDisplay()
{
    return Platform() != nullptr;
}

TNativeWindow* TPlatformGraphicsHost::GetMainWindow()
{
    TPlatform* platform = Platform();
    return platform != nullptr ? platform->GetData().GetMainWindow() : nullptr;
}

TGraphicsHost::THosting TPlatformGraphicsHost::GetHosting()
{
    TPlatform* platform = Platform();
    if (platform == nullptr)
        return Standalone().GetHosting();
    const TPlatformData& data = platform->GetData();
    THosting hosting;
    hosting.hosted = data.GetScale(hosting.scale);
    hosting.axTest = data.IsAxTest();
    hosting.externalParent = data.GetExternalWindowParent();
    return hosting;
}

void TPlatformGraphicsHost::NotifyDisplayModeSet()
{
    if (TPlatform* platform = Platform())
        platform->GetData().GetPump().NotifyDisplayModeSet();
}

void TPlatformGraphicsHost::UseDefaultCursor()
{
    if (TPlatform* platform = Platform())
        platform->SetMouseImage(nullptr, 2, 2, false);
}

void TPlatformGraphicsHost::PostQuitMessage(int exitCode)
{
    if (TPlatform* platform = Platform())
        platform->PostQuitMessage(exitCode);
}
