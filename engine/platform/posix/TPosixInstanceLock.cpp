#include "engine/platform/posix/TPosixInstanceLock.h"

#include "engine/platform/TPlatformLog.h"
#include "engine/platform/TSystemPaths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TInstanceLock::TResult TPosixInstanceLock::Create(const std::string& name,
                                                  std::unique_ptr<TInstanceLock>& lock)
{
    const std::string path = TSystemPaths::GetRuntimeFolder() + name;
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        TPlatformLog::Write("instance: cannot open %s: %s", path.c_str(), strerror(errno));
        return TResult::Unavailable;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(descriptor);
        if (error == EWOULDBLOCK)
            return TResult::HeldElsewhere;
        TPlatformLog::Write("instance: cannot lock %s: %s", path.c_str(), strerror(error));
        return TResult::Unavailable;
    }
    lock.reset(new TPosixInstanceLock(descriptor));
    return TResult::Acquired;
}

TPosixInstanceLock::~TPosixInstanceLock()
{
    // The file stays: removing it would let a third process lock a new file while a
    // second one still waits on the old one.
    flock(mDescriptor, LOCK_UN);
    close(mDescriptor);
}
