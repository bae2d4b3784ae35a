#include "engine/graphics/TRendererLink.h"

#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/TDisplayLink.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TRenderer.h"

TRendererLink::TRendererLink()
{
    TRenderer::Get();
}

TRendererLink::~TRendererLink()
{
    mDisplay.reset();
    TRenderer::Destroy();
}

TDisplaySeam* TRendererLink::GetDisplay()
{
    return mDisplay.get();
}

TDisplaySeam* TRendererLink::CreateDisplay()
{
    if (!mDisplay)
        mDisplay = std::make_unique<TDisplayLink>(TRenderer::Get()->GetDisplayHandler());
    return mDisplay.get();
}

void TRendererLink::ToggleStats()
{
    TRenderer::Get()->ToggleStats();
    // The overlay comes or goes with the next frame drawn.
    TGraphicsHost::Get().RequestFrame();
}

void TRendererLink::PopClipRect()
{
    TRenderer::Get()->PopClipRect();
}

void TRendererLink::PushClipRect(int left, int top, int right, int bottom)
{
    TRenderer::Get()->PushClipRect(TRect(left, top, right, bottom));
}

void TRendererLink::FillRect(int left, int top, int right, int bottom, uint32_t color)
{
    TColor components;
    components.SetFromBytes((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF, color >> 24);
    TRenderer::Get()->FillRect(TRect(left, top, right, bottom), components);
}
