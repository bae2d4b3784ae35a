#pragma once

#include "engine/foundation/assets/TAsset.h"
#include "engine/foundation/core/TString.h"

#include <functional>
#include <map>
#include <memory>

// A set of named assets kept alive by their owner (a game activity, a widget with its own
// sounds). Names use "/" ("\\" is turned into "/"); a name may carry a "?query" part
// (a sound's "?group=" suffix), which stays in the key but not in the file looked for.
//
// Loading by name tries the name as given, then with ".xml", ".anm", ".jpg", ".png",
// ".ogg", ".mesh" and ".lua" appended, and hands the first file that exists to the loader
// registered for its extension. Each asset subsystem registers its loaders when it starts
// ("jpg"/"png" textures, "xml"/"anm" animated textures, "ogg" in-memory sounds of the
// default group, "lua" compiled scripts, "mesh" models).
//
// Deleting or clearing the map drops its references. Main thread only.
class TAssetMap
{
public:
    // Loads the asset at path (extension and query part included); empty on failure.
    using TLoader = std::function<std::shared_ptr<TAsset>(const TString& path)>;

    // Registers (or, with an empty loader, removes) the loader for an extension without
    // its dot, compared case-sensitively.
    static void RegisterLoader(const TString& extension, TLoader loader);
    // Removes every registered loader, as before any registration (tests).
    static void RemoveAllLoaders();

    // "Not found" log formats of the typed getters: name, then "true"/"false" for the
    // auto-load flag (the sound line has no place for the flag).
    static constexpr const char* kTextureNotFound =
        "Texture asset not found: %s (auto load set to %s)";
    static constexpr const char* kAnimatedTextureNotFound =
        "Animated texture asset not found: %s (auto load set to %s)";
    static constexpr const char* kSoundNotFound = "Sound asset not found: %s";

    virtual ~TAssetMap() = default;

    // Stores asset under name (normalised), replacing what was there.
    void AddAsset(const TString& name, const std::shared_ptr<TAsset>& asset);
    // Loads the asset name designates and stores it; failures are logged, nothing stored.
    void AddAsset(const TString& name);
    // AddAsset(name) for each name of a null-terminated array.
    void AddAssets(const char* const* names);

    // The asset under name as a T, or empty. An asset of another kind gives empty
    // silently; a missing one is loaded first when auto-load is on, else logged with
    // T::kAssetMapNotFound (one of the k...NotFound formats above).
    template <class T> std::shared_ptr<T> Get(const TString& name)
    {
        return AssetCast<T>(Lookup(name, T::kAssetMapNotFound));
    }

    void SetAutoLoad(bool autoLoad) { mAutoLoad = autoLoad; }
    bool GetAutoLoad() const { return mAutoLoad; }

    void Clear() { mAssets.clear(); }
    size_t GetCount() const { return mAssets.size(); }

private:
    std::shared_ptr<TAsset> Lookup(const TString& name, const char* notFoundFormat);

    std::map<TString, std::shared_ptr<TAsset>> mAssets;
    bool mAutoLoad = false;
};
