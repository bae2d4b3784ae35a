#include "engine/platform/TSharedLibrary.h"

#include "engine/platform/posix/TPosixSharedLibrary.h"

std::unique_ptr<TSharedLibrary> TSharedLibrary::Create(const std::string& path, bool quiet)
{
    return TPosixSharedLibrary::Create(path, quiet);
}
