#include "engine/ui/widgets/TFlashMovie.h"

#include "engine/foundation/core/DebugLog.h"

TFlashMovie::TFlashMovie(const TString& fileName) : mFileName(fileName) {}

TFlashMovie::~TFlashMovie()
{
    Stop();
}

bool TFlashMovie::Start(bool, bool, bool)
{
    TraceLog(kNoPlayerLog, mFileName.CStr());
    return false;
}

void TFlashMovie::Stop()
{
    // Nothing was ever put up, so there is nothing to take down or give back.
}
