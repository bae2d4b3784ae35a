#include "game/core/TTestCard.h"

#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/TRenderer.h"

void TTestCard::Draw()
{
    TRenderer* renderer = TRenderer::Get();
    const int width = GetWidth();
    const int height = GetHeight();
    renderer->FillRect(TRect(0, 0, width, height), TColor(0.08f, 0.22f, 0.25f, 1));
    const TColor bars[] = {TColor(1, 1, 1, 1), TColor(1, 1, 0, 1), TColor(0, 1, 1, 1),
                           TColor(0, 1, 0, 1), TColor(1, 0, 1, 1), TColor(1, 0, 0, 1),
                           TColor(0, 0, 1, 1), TColor(0, 0, 0, 1)};
    const int bar = width / 10;
    for (int i = 0; i < 8; ++i)
        renderer->FillRect(TRect(bar * (i + 1), height / 4, bar * (i + 2), height * 3 / 4),
                           bars[i]);
}
