#include "engine/script/LuaHooks.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"

#include <cstdio>

namespace {

void* OpenEngineFile(const char* name, bool binary)
{
    return FileOpen(name, binary ? kFileReadBinary : kFileReadText);
}

size_t ReadEngineFile(void* file, char* buffer, size_t size)
{
    return FileRead(buffer, 1, size, static_cast<TFile*>(file));
}

bool EngineFileFailed(void* file)
{
    return FileError(static_cast<TFile*>(file)) != 0;
}

void CloseEngineFile(void* file)
{
    FileClose(static_cast<TFile*>(file));
}

void WritePanic(const char* text)
{
    TraceLog("%s", text);
    std::fprintf(stderr, "%s\n", text);
}

} // namespace

void InstallLuaHooks()
{
    static const luaL_FileReader kEngineFiles{&OpenEngineFile, &ReadEngineFile, &EngineFileFailed,
                                              &CloseEngineFile};
    luaL_setfilereader(&kEngineFiles);
    lua_setpanicwriter(&WritePanic);
}
