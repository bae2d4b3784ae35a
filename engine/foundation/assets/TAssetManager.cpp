#include "engine/foundation/assets/TAssetManager.h"

#include "engine/foundation/assets/TAsset.h"

std::shared_ptr<TAsset> TAssetManager::Find(const TString& key)
{
    return mAssets[key].lock();
}

void TAssetManager::Add(const TString& key, const std::shared_ptr<TAsset>& asset)
{
    mAssets[key] = asset;
}

void TAssetManager::Remove(const TString& key)
{
    mAssets.erase(key);
}

void TAssetManager::ReleaseAll()
{
    for (auto it = mAssets.begin(); it != mAssets.end();) {
        std::shared_ptr<TAsset> asset = it->second.lock();
        if (!asset) {
            it = mAssets.erase(it);
            continue;
        }
        asset->Release();
        ++it;
    }
}

void TAssetManager::RestoreAll()
{
    ForEachLive([](TAsset& asset) { asset.Restore(); });
}

void TAssetManager::ForEachLive(const std::function<void(TAsset&)>& visit) const
{
    for (const auto& [key, weak] : mAssets)
        if (std::shared_ptr<TAsset> asset = weak.lock())
            visit(*asset);
}
