#include "engine/platform/TInstanceLock.h"

#include "engine/platform/posix/TPosixInstanceLock.h"

TInstanceLock::TResult TInstanceLock::Create(const std::string& name,
                                             std::unique_ptr<TInstanceLock>& lock)
{
    return TPosixInstanceLock::Create(name, lock);
}
