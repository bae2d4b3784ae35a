#include "engine/sound/OggFileSource.h"

#include "engine/foundation/files/TFile.h"

#include <cstdio>

size_t OggFileRead(void* destination, size_t size, size_t count, void* source)
{
    auto* file = static_cast<TFile*>(source);
    if (size == 0 || count == 0)
        return 0;
    if (count > SIZE_MAX / size)
        count = SIZE_MAX / size;
    const size_t bytes = FileRead(destination, 1, size * count, file);
    const size_t partial = bytes % size;
    if (partial != 0)
        FileSeek(file, -static_cast<int64_t>(partial), kSeekCurrent);
    return bytes / size;
}

int OggFileSeek(void* source, int64_t offset, int whence)
{
    auto* file = static_cast<TFile*>(source);
    switch (whence) {
    case SEEK_SET:
        FileSeek(file, offset, kSeekStart);
        return 0;
    case SEEK_CUR:
        FileSeek(file, offset, kSeekCurrent);
        return 0;
    case SEEK_END:
        FileSeek(file, offset, kSeekEnd);
        return 0;
    default:
        return -1;
    }
}

int OggFileClose(void* source)
{
    FileClose(static_cast<TFile*>(source));
    return 0;
}

long OggFileTell(void* source)
{
    return static_cast<long>(FileTell(static_cast<TFile*>(source)));
}
