#pragma once

// The renderer's overlay text as a text layout: 16-point red text of the default font in
// a 512 x 512 box, laid out again for each new markup.
//
// Main thread only.

#include "engine/graphics/TOverlayText.h"

#include <memory>

class TTextLayout;

class TLayoutOverlayText final : public TOverlayText
{
public:
    TLayoutOverlayText();
    ~TLayoutOverlayText() override;

    void Draw(const TString& markup, const TRect& box) override;

private:
    std::unique_ptr<TTextLayout> mLayout;
};
