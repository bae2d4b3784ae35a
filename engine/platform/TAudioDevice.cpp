#include "engine/platform/TAudioDevice.h"

#include "engine/platform/sdl/TSdlAudioDevice.h"

std::unique_ptr<TAudioDevice> TAudioDevice::Create()
{
    if (auto sdl = TSdlAudioDevice::Start())
        return sdl;
    return nullptr;
}
