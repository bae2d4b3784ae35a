#include "engine/foundation/seams/TMasterVolume.h"

#include "engine/foundation/core/DebugLog.h"

TMasterVolume* TMasterVolume::sControl = nullptr;

namespace {

void LogMissingOnce()
{
    static bool logged = false;
    if (logged)
        return;
    logged = true;
    TraceLog("sound: no master volume control installed; mute requests change nothing");
}

} // namespace

void TMasterVolume::Install(TMasterVolume* control)
{
    sControl = control;
}

float TMasterVolume::Read()
{
    if (sControl == nullptr) {
        LogMissingOnce();
        return 0.0f;
    }
    return sControl->GetMasterVolume();
}

void TMasterVolume::Write(float volume)
{
    if (sControl == nullptr) {
        LogMissingOnce();
        return;
    }
    sControl->SetMasterVolume(volume);
}
