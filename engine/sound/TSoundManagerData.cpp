#include "engine/sound/TSoundManagerData.h"

#include "engine/sound/TSoundStream.h"

TSoundManagerData::~TSoundManagerData()
{
    // The streams' buffers leave the mixer first; then no callback runs while the mixer
    // goes.
    retired.clear();
    active.clear();
    if (device)
        device->Close();
    device.reset();
    unopened.reset();
    mixer.reset();
}
