#include "engine/graphics/TDraw2dScope.h"

#include "engine/graphics/TRenderer.h"

TDraw2dScope::TDraw2dScope() : mBegan(TRenderer::Get()->Begin2d()) {}

TDraw2dScope::~TDraw2dScope()
{
    if (mBegan)
        TRenderer::Get()->End2d();
    mBegan = false;
}
