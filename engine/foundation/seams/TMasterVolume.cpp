#include "engine/foundation/seams/TMasterVolume.h"

#include "engine/foundation/core/DebugLog.h"

TMasterVolume* TMasterVolume::sControl = nullptr;

namespace {

// Whether the missing control was logged since the last Install.
bool sMissingLogged = false;

void LogMissingOnce()
{
    if (sMissingLogged)
        return;
    sMissingLogged = true;
    TraceLog("sound: no master volume control installed; mute requests change nothing");
}

} // namespace

void TMasterVolume::Install(TMasterVolume* control)
{
    sControl = control;
    sMissingLogged = false;
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
