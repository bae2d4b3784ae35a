#include "engine/graphics/install/TVectorDrawLink.h"

#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/vector/THvMiniVecDraw.h"

TVectorDrawLink::TVectorDrawLink()
{
    THvMiniVecDraw::Get();
}

TVectorDrawLink::~TVectorDrawLink()
{
    THvMiniVecDraw::Destroy();
    FontCache::Clear();
}

void TVectorDrawLink::Calibrate()
{
    THvMiniVecDraw::Get().CalibrateSpanOffsets();
}
