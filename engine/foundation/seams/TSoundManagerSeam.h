#pragma once

#include <functional>

// What the platform asks of the sound manager. Main thread only.
class TSoundManagerSeam
{
public:
    virtual ~TSoundManagerSeam() = default;

    // Called, on any thread, whenever a notification starts waiting for
    // DispatchNotifications: it wakes the event loop, which then dispatches at once. Set
    // before Init; it must outlive the manager.
    virtual void SetNotificationWake(std::function<void()> wake) = 0;

    // Opens the sound device; false when the game must run without sound.
    virtual bool Init() = 0;
    // The application became active or inactive.
    virtual void SetActive(bool active) = 0;
    // Frees finished streams and delivers their completion; every idle turn.
    virtual void DispatchNotifications() = 0;
};
