#include "engine/script/TScriptCode.h"

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/assets/TAssetMap.h"
#include "engine/script/LuaHooks.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"

#include <cstdlib>
#include <cstring>

const TString gScriptSearchPath("assets/?;?;../?;../../?");

namespace {

// Collects the pieces of a dumped chunk in one heap block, reallocated to the exact
// new total for each piece.
struct TChunkBytes
{
    char* data = nullptr;
    size_t length = 0;
    ~TChunkBytes() { std::free(data); }
};

int AppendPiece(lua_State*, const void* piece, size_t size, void* ud)
{
    auto* bytes = static_cast<TChunkBytes*>(ud);
    if (size == 0)
        return 0;
    char* grown = static_cast<char*>(std::realloc(bytes->data, bytes->length + size));
    if (grown == nullptr)
        return 1;
    std::memcpy(grown + bytes->length, piece, size);
    bytes->data = grown;
    bytes->length += size;
    return 0;
}

std::shared_ptr<TScriptCode> Compile(lua_State* L, const TString& path, const TString& searchPath,
                                     TString* error)
{
    TString setPath = TString("LUA_PATH='") +
                      (searchPath.Length() > 0 ? searchPath : TString("assets/?;../?;?")) + "' ;";
    lua_dostring(L, setPath.CStr());
    lua_settop(L, 0);
    if (luaL_loadfile(L, path.CStr()) != 0) {
        if (error != nullptr) {
            const char* message = lua_tostring(L, -1);
            *error = message != nullptr ? TString(message) : TString();
        }
        return nullptr;
    }
    TChunkBytes bytes;
    if (lua_dump(L, AppendPiece, &bytes) == 0 || bytes.length == 0) {
        if (error != nullptr)
            *error = TString::Printf("cannot compile %s", path.CStr());
        return nullptr;
    }
    return std::make_shared<TScriptCode>(bytes.data, bytes.length);
}

} // namespace

TAsset::TClassId TScriptCode::ClassId()
{
    static const char id = 0;
    return &id;
}

TScriptCode::TScriptCode(const char* bytes, size_t length) : mCode(bytes, length) {}

std::shared_ptr<TScriptCode> GetScriptCode(TAssetManager* cache, const TString& path,
                                           const TString& searchPath, TString* error)
{
    if (path.Length() == 0)
        return nullptr;
    if (cache != nullptr) {
        if (auto cached = AssetCast<TScriptCode>(cache->Find(path)))
            return cached;
    }
    InstallLuaHooks();
    lua_State* L = lua_open();
    if (L == nullptr)
        return nullptr;
    std::shared_ptr<TScriptCode> code = Compile(L, path, searchPath, error);
    lua_close(L);
    if (code && cache != nullptr)
        cache->Add(path, code);
    return code;
}

void RegisterScriptCodeLoader(TAssetManager* cache)
{
    TAssetMap::RegisterLoader("lua", [cache](const TString& path) -> std::shared_ptr<TAsset> {
        return GetScriptCode(cache, path, gScriptSearchPath, nullptr);
    });
}
