#include "engine/ui/install/UiInstall.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/script/TScriptBudget.h"
#include "engine/ui/manager/TPlatformWindowHost.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/script/TWindowScript.h"

void InstallUi()
{
    TEngineSeams::Factories().windowManager = [] {
        return std::make_unique<TWindowManager>(std::make_unique<TPlatformWindowHost>());
    };
    // Made by the platform facade while it starts: script files compiled for the asset
    // maps go through the platform's asset manager.
    TEngineSeams::Factories().windowScript = [] {
        TPlatform* platform = TPlatform::GetInstance();
        return std::make_unique<TWindowScript>(
            nullptr, platform != nullptr ? &platform->GetAssetManager() : nullptr);
    };
    // A script that runs long gives way to a close request of the platform's event loop.
    TScriptBudget::SetQuitCheck([] {
        TPlatform* platform = TPlatform::GetInstance();
        return platform != nullptr && platform->IsQuitPending();
    });
}
