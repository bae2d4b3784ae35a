#include "engine/foundation/assets/TAssetMap.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"

namespace {

std::map<TString, TAssetMap::TLoader>& Loaders()
{
    static std::map<TString, TAssetMap::TLoader> loaders;
    return loaders;
}

TString NormaliseName(const TString& name)
{
    TString normalised = name;
    normalised.Replace("\\", "/", TString::kAll);
    return normalised;
}

// The file name with the first standard extension that exists, or "" when none does.
TString FindAssetFile(const TString& fileName)
{
    static const char* const kExtensions[] = {".xml", ".anm",  ".jpg", ".png",
                                              ".ogg", ".mesh", ".lua"};
    if (FileExists(fileName))
        return fileName;
    for (const char* extension : kExtensions) {
        TString candidate = fileName + TString(extension);
        if (FileExists(candidate))
            return candidate;
    }
    return TString();
}

TString ExtensionOf(const TString& fileName)
{
    int dot = fileName.FindChar('.', TString::kBackwards);
    return dot < 0 ? TString() : fileName.Substr(dot + 1);
}

} // namespace

void TAssetMap::RegisterLoader(const TString& extension, TLoader loader)
{
    if (loader)
        Loaders()[extension] = std::move(loader);
    else
        Loaders().erase(extension);
}

void TAssetMap::RemoveAllLoaders()
{
    Loaders().clear();
}

void TAssetMap::AddAsset(const TString& name, const std::shared_ptr<TAsset>& asset)
{
    mAssets[NormaliseName(name)] = asset;
}

void TAssetMap::AddAsset(const TString& name)
{
    TString key = NormaliseName(name);
    TString fileName = key;
    TString query;
    int question = key.FindChar('?');
    if (question >= 0) {
        query = key.Substr(question);
        fileName = key.Substr(0, question);
    }
    TString found = FindAssetFile(fileName);
    if (found.Length() == 0) {
        TraceLog("TAssetMap::AddAsset: Failed to find asset %s with any standard extension "
                 "(jpg/png/anm/xml/ogg/mesh)",
                 key.CStr());
        return;
    }
    TString path = found + query;
    auto loader = Loaders().find(ExtensionOf(found));
    std::shared_ptr<TAsset> asset;
    if (loader != Loaders().end())
        asset = loader->second(path);
    if (!asset) {
        TraceLog("TAssetMap::AddAsset: Error loading %s", path.CStr());
        return;
    }
    mAssets[key] = asset;
}

void TAssetMap::AddAssets(const char* const* names)
{
    if (names == nullptr)
        return;
    for (; *names != nullptr; ++names)
        AddAsset(TString(*names));
}

std::shared_ptr<TAsset> TAssetMap::Lookup(const TString& name, const char* notFoundFormat)
{
    TString key = NormaliseName(name);
    if (std::shared_ptr<TAsset> held = mAssets[key])
        return held;
    if (mAutoLoad) {
        AddAsset(key);
        if (std::shared_ptr<TAsset> loaded = mAssets[key])
            return loaded;
    }
    TraceLog(notFoundFormat, key.CStr(), mAutoLoad ? "true" : "false");
    return nullptr;
}
