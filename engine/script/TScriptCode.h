#pragma once

#include "engine/foundation/assets/TAsset.h"
#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <memory>
#include <string>

class TAssetManager;

// A script file compiled to a precompiled chunk, shared through the asset cache so that
// each file is compiled once while someone holds its code.
class TScriptCode : public TAsset
{
public:
    static TClassId ClassId();

    // Keeps a copy of length bytes.
    TScriptCode(const char* bytes, size_t length);

    const char* GetClassName() const override { return "TScriptCode"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

    // A copy of the chunk bytes. They hold NUL bytes, so the string's own length means
    // nothing: read GetLength bytes.
    TString GetCode() const { return TString(mCode.data(), static_cast<int>(mCode.size())); }
    const char* GetBytes() const { return mCode.data(); }
    size_t GetLength() const { return mCode.size(); }

private:
    std::string mCode;
};

// The search path that TScript::RunScript hands to GetScriptCode. Compiling needs no
// search path, so it only reaches the compile state's "LUA_PATH".
extern const TString gScriptSearchPath;

// The compiled chunk of the script file at path: the live one cached under path in
// cache, or compiled now in a bare state and cached there (weakly). Without a cache
// (null) the file is compiled every time. Empty on failure, with the loader's message in
// error when one is given. The game passes the platform's asset manager.
std::shared_ptr<TScriptCode> GetScriptCode(TAssetManager* cache, const TString& path,
                                           const TString& searchPath, TString* error);

// Registers the "lua" loader of asset maps (TAssetMap): GetScriptCode through cache with
// gScriptSearchPath. The cache must outlive the registration; TAssetMap::RegisterLoader
// with "lua" and an empty loader removes it.
void RegisterScriptCodeLoader(TAssetManager* cache);
