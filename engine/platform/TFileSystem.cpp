#include "engine/platform/TFileSystem.h"

#include "engine/platform/posix/TPosixFileSystem.h"

TFileSystem& TFileSystem::Get()
{
    // POSIX is the only backend this engine runs on.
    static TPosixFileSystem sInstance;
    return sInstance;
}
