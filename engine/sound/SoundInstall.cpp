#include "engine/sound/SoundInstall.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/sound/TSound.h"
#include "engine/sound/TSoundManager.h"

void InstallSound()
{
    TEngineSeams::Factories().soundManager = [] { return std::make_unique<TSoundManager>(); };
    TAssetMap::RegisterLoader("ogg", [](const TString& path) -> std::shared_ptr<TAsset> {
        TPlatform* platform = TPlatform::GetInstance();
        return TSound::Get(platform != nullptr ? &platform->GetAssetManager() : nullptr, path, true,
                           -1);
    });
}
