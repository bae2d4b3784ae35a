#include "engine/graphics/GraphicsInstall.h"

#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/TRendererLink.h"
#include "engine/graphics/TTexture.h"

void InstallGraphics()
{
    TEngineSeams::Factories().renderer = [] { return std::make_unique<TRendererLink>(); };
    TEngineSeams::Factories().loadTexture = [](const TString& name) {
        return TTexture::Get(name, 0);
    };
}
