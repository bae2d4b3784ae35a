#include "engine/graphics/install/GraphicsInstall.h"

#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TRendererLink.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/install/TPlatformGraphicsHost.h"
#include "engine/graphics/install/TVectorDrawLink.h"
#include "engine/graphics/model/TModel.h"
#include "engine/graphics/text/TLayoutOverlayText.h"

void InstallGraphics()
{
    // Lives as long as the process: textures held in static storage reach it at the end.
    static TPlatformGraphicsHost host;
    TGraphicsHost::Install(&host);
    TEngineSeams::Factories().renderer = [] { return std::make_unique<TRendererLink>(); };
    TEngineSeams::Factories().vectorDraw = [] { return std::make_unique<TVectorDrawLink>(); };
    TRenderer::SetOverlayTextFactory([] { return std::make_unique<TLayoutOverlayText>(); });
    TEngineSeams::Factories().loadTexture = [](const TString& name) {
        return TTexture::Get(name, 0);
    };
    TAssetMap::TLoader texture = [](const TString& path) -> std::shared_ptr<TAsset> {
        return TTexture::Get(path, 0);
    };
    TAssetMap::TLoader animation = [](const TString& path) -> std::shared_ptr<TAsset> {
        return TAnimatedTexture::Get(path);
    };
    TAssetMap::RegisterLoader("png", texture);
    TAssetMap::RegisterLoader("jpg", texture);
    TAssetMap::RegisterLoader("xml", animation);
    TAssetMap::RegisterLoader("anm", animation);
    TAssetMap::RegisterLoader(
        "mesh", [](const TString& path) -> std::shared_ptr<TAsset> { return TModel::Get(path); });
}
