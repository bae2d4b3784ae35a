#include "engine/graphics/GraphicsInstall.h"

#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/TRendererLink.h"

void InstallGraphics()
{
    TEngineSeams::Factories().renderer = [] { return std::make_unique<TRendererLink>(); };
}
