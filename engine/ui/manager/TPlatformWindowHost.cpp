#include "engine/ui/manager/TPlatformWindowHost.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/platform/TTimeSource.h"

TPlatformWindowHost::TPlatformWindowHost() : mPqSwitch(::HasPqSwitch()) {}

uint32_t TPlatformWindowHost::GetTimer()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? platform->GetTimer() : TTimeSource::Now();
}

bool TPlatformWindowHost::IsActive()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr && platform->IsActive();
}

bool TPlatformWindowHost::IsFullScreen()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr && platform->IsFullScreen();
}

bool TPlatformWindowHost::IsPresentDone()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform == nullptr || platform->IsPresentDone();
}

bool TPlatformWindowHost::IsHosted()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr && platform->GetData().IsHosted();
}

void TPlatformWindowHost::PostQuitMessage(int exitCode)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->PostQuitMessage(exitCode);
}

void TPlatformWindowHost::RunMainTasks(TTaskPass pass)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->GetTaskList().RunAll(pass);
}

bool TPlatformWindowHost::AddMainTask(TTask* task)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (platform == nullptr)
        return false;
    platform->AddTask(std::unique_ptr<TTask>(task));
    return true;
}

bool TPlatformWindowHost::IsDisplayReady()
{
    return ::IsDisplayReady();
}

TAssetManager* TPlatformWindowHost::GetAssetManager()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? &platform->GetAssetManager() : nullptr;
}

TString TPlatformWindowHost::GetString(const TString& label, const TStringArguments& arguments)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (platform == nullptr)
        return TString("#####");
    return platform->GetStringTable().Substitute(label, static_cast<int>(arguments.size()),
                                                 arguments.data());
}

TString TPlatformWindowHost::GetClipboardText()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? platform->GetClipboardText() : TString();
}

bool TPlatformWindowHost::SetClipboardText(const TString& text)
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr && platform->StringToClipboard(text);
}

void TPlatformWindowHost::OpenURL(const TString& url)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->OpenURL(url);
    else
        TraceLog("ui: no platform to open %s", url.CStr());
}
