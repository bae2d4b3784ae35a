#include "engine/platform/posix/TPosixSharedLibrary.h"

#include "engine/platform/TPlatformLog.h"

#include <dlfcn.h>

std::unique_ptr<TSharedLibrary> TPosixSharedLibrary::Create(const std::string& path, bool quiet)
{
    // A name without a slash would make dlopen search the library path.
    if (path.find('/') == std::string::npos) {
        if (!quiet)
            TPlatformLog::Write("library: %s: not a path", path.c_str());
        return nullptr;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        if (!quiet)
            TPlatformLog::Write("library: cannot load %s: %s", path.c_str(), dlerror());
        return nullptr;
    }
    return std::unique_ptr<TSharedLibrary>(new TPosixSharedLibrary(handle));
}

TPosixSharedLibrary::~TPosixSharedLibrary()
{
    dlclose(mHandle);
}

void* TPosixSharedLibrary::FindSymbol(const char* name) const
{
    return dlsym(mHandle, name);
}
