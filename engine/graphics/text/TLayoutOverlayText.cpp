#include "engine/graphics/text/TLayoutOverlayText.h"

#include "engine/foundation/math/TColor.h"
#include "engine/graphics/text/TTextLayout.h"

TLayoutOverlayText::TLayoutOverlayText()
    : mLayout(CreateTextLayout(TString(), 512, 512, 0, nullptr, 16, TColor(1, 0, 0, 1)))
{
}

TLayoutOverlayText::~TLayoutOverlayText() = default;

void TLayoutOverlayText::Draw(const TString& markup, const TRect& box)
{
    mLayout->SetText(markup);
    mLayout->DrawInRect(box, 1.0f, 0, 1.0f);
}
