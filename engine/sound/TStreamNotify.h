#pragma once

#include "engine/foundation/core/TString.h"

class TSoundStream;

// What a stream tells the owner of the sound it plays. Implemented by TSoundData.
class TStreamNotify
{
public:
    virtual ~TStreamNotify() = default;

    // The stream is being destroyed (its playback has ended). Main thread, under the
    // sound manager's lock; not called while the manager shuts down.
    virtual void StreamFinished(TSoundStream& stream) = 0;
    // The sound's file name, for the stream's log lines. Under the sound manager's lock.
    virtual TString GetSoundName() const = 0;
};
