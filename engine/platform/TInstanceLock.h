#pragma once

#include <memory>
#include <string>

// A lock that one process at a time can hold, named by a file in the runtime folder.
// The operating system drops it when the holder ends, even by a crash.
class TInstanceLock
{
public:
    enum class TResult
    {
        Acquired,      // this process now holds the lock
        HeldElsewhere, // another process holds it
        Unavailable,   // the lock could not be made (logged); nobody is known to hold it
    };

    // Tries to take the lock called name (a file name without folder). On Acquired,
    // lock holds it until destroyed. Main thread, once at start-up.
    static TResult Create(const std::string& name, std::unique_ptr<TInstanceLock>& lock);

    // Releases the lock.
    virtual ~TInstanceLock() = default;
};
