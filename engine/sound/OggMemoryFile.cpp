#include "engine/sound/OggMemoryFile.h"

#include "engine/foundation/files/TFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

OggMemoryFile* ReadOggMemoryFile(TFile* file)
{
    auto* memory = new OggMemoryFile();
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = FileRead(chunk, 1, sizeof chunk, file)) > 0)
        memory->bytes.insert(memory->bytes.end(), chunk, chunk + got);
    FileClose(file);
    return memory;
}

size_t OggMemoryRead(void* destination, size_t size, size_t count, void* source)
{
    auto* memory = static_cast<OggMemoryFile*>(source);
    if (size != 0 && count > SIZE_MAX / size)
        count = SIZE_MAX / size;
    const size_t left = memory->bytes.size() - memory->position;
    const size_t bytes = std::min(size * count, left);
    if (bytes > 0)
        std::memcpy(destination, memory->bytes.data() + memory->position, bytes);
    memory->position += bytes;
    return bytes;
}

int OggMemorySeek(void* source, int64_t offset, int whence)
{
    auto* memory = static_cast<OggMemoryFile*>(source);
    const auto size = static_cast<int64_t>(memory->bytes.size());
    int64_t base = 0;
    switch (whence) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = static_cast<int64_t>(memory->position);
        break;
    case SEEK_END:
        base = size;
        break;
    default:
        return -1;
    }
    // Clamped before adding, so that no offset can overflow the sum.
    const int64_t target = base + std::clamp(offset, -size, size);
    memory->position = static_cast<size_t>(std::clamp<int64_t>(target, 0, size));
    return 0;
}

int OggMemoryClose(void* source)
{
    delete static_cast<OggMemoryFile*>(source);
    return 0;
}

long OggMemoryTell(void* source)
{
    return static_cast<long>(static_cast<OggMemoryFile*>(source)->position);
}
