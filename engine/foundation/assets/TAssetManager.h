#pragma once

#include "engine/foundation/core/TString.h"

#include <functional>
#include <map>
#include <memory>

class TAsset;

// The process-wide asset cache: cache key -> weak reference. Each kind of asset asks it
// for a live object before loading (the keys are the loaders' business: "name:a:tex",
// "%s;%d;%d" for sounds, and so on). Entries never keep an asset alive. One instance,
// owned by the platform facade. Main thread only.
class TAssetManager
{
public:
    virtual ~TAssetManager() = default;

    // The live asset under key, or empty. A miss leaves an empty entry behind, which the
    // next ReleaseAll removes.
    std::shared_ptr<TAsset> Find(const TString& key);

    // Remembers asset under key, replacing any earlier entry.
    void Add(const TString& key, const std::shared_ptr<TAsset>& asset);

    void Remove(const TString& key);

    // Before a display reset: erases entries whose asset is gone and tells every live
    // asset, in key order, to release its device data.
    void ReleaseAll();

    // After the display came back: every live asset, in key order, restores its data.
    void RestoreAll();

    // Calls visit with every live asset, in key order. visit must not add or remove
    // entries.
    void ForEachLive(const std::function<void(TAsset&)>& visit) const;

    // Entries held, dead ones included (for tests and statistics).
    size_t GetEntryCount() const { return mAssets.size(); }

private:
    std::map<TString, std::weak_ptr<TAsset>> mAssets;
};
