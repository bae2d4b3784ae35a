#include "engine/graphics/TStandaloneGraphicsHost.h"

#include "engine/platform/TTimeSource.h"

TStandaloneGraphicsHost& TStandaloneGraphicsHost::Instance()
{
    static TStandaloneGraphicsHost* const host = new TStandaloneGraphicsHost();
    return *host;
}

uint32_t TStandaloneGraphicsHost::GetTimer()
{
    return TTimeSource::Now();
}
