#include "engine/platform/TProcessMemory.h"

#include "engine/platform/posix/TPosixProcessMemory.h"

std::unique_ptr<TProcessMemory> TProcessMemory::Create()
{
    return std::make_unique<TPosixProcessMemory>();
}
