#include "engine/ui/UiInstall.h"

#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/ui/manager/TPlatformWindowHost.h"
#include "engine/ui/manager/TWindowManager.h"

void InstallUi()
{
    TEngineSeams::Factories().windowManager = [] {
        return std::make_unique<TWindowManager>(std::make_unique<TPlatformWindowHost>());
    };
}
