#pragma once

class TSoundStream;

// What a stream tells the owner of the sound it plays. Implemented by TSoundData.
class TStreamNotify
{
public:
    virtual ~TStreamNotify() = default;

    // The stream is being destroyed (its playback has ended). Main thread, under the
    // sound manager's lock; not called while the manager shuts down.
    virtual void StreamFinished(TSoundStream& stream) = 0;
};
