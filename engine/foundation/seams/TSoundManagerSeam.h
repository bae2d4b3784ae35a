#pragma once

// What the platform asks of the sound manager. Main thread only.
class TSoundManagerSeam
{
public:
    virtual ~TSoundManagerSeam() = default;

    // Opens the sound device; false when the game must run without sound.
    virtual bool Init() = 0;
    // The application became active or inactive.
    virtual void SetActive(bool active) = 0;
    // Frees finished streams and delivers their completion; every idle turn.
    virtual void DispatchNotifications() = 0;
};
