#include "engine/platform/TVideoSystem.h"

#include "engine/platform/sdl/TSdlVideoSystem.h"

std::unique_ptr<TVideoSystem> TVideoSystem::Create()
{
    if (auto sdl = TSdlVideoSystem::Open())
        return sdl;
    return nullptr;
}
