#include "engine/graphics/TGraphicsHost.h"

#include "engine/graphics/TStandaloneGraphicsHost.h"

namespace {

TGraphicsHost* sHost = nullptr;

} // namespace

TGraphicsHost& TGraphicsHost::Get()
{
    return sHost != nullptr ? *sHost : TStandaloneGraphicsHost::Instance();
}

void TGraphicsHost::Install(TGraphicsHost* host)
{
    sHost = host;
}
