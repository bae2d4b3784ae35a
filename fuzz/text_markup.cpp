// Text layout over arbitrary marked-up text: the first byte picks the box width, flags
// and scroll position, the rest is the text, laid out in the built-in font and drawn
// into a small texture; bounds, line counts and links are asked for too. Font faces the
// markup names are looked up through the file system like any font and fall back to the
// built-in one. Every input starts with a new rasteriser and target and leaves none, so
// what one input leaves behind cannot make a later one fail.
// Seeds: fuzz/corpus/text_markup/.
#include "engine/foundation/core/TString.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/text/TTextLayout.h"
#include "engine/graphics/vector/THvMiniVecDraw.h"

#include <climits>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 1 << 16)
        return 0;
    const int width = 8 + (data[0] & 0x3F) * 4;
    const int flags = data[0] >> 4 & 0x0F;
    const TString text(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    const std::unique_ptr<TTextLayout> layout(
        CreateTextLayout(text, width, 64, flags, nullptr, 12, TColor(0, 0, 0, 1)));
    layout->SetScrollPosition(static_cast<float>(data[0] % 5) - 1.5f);
    TRect bounds;
    layout->GetBounds(bounds, 1.0f);
    layout->CountLinesThatFit(1.0f, 2);
    const TVec2 point(static_cast<float>(data[0] % 64), 6.0f);
    layout->UpdateHoverLink(&point, 1);
    const std::shared_ptr<TTexture> target = TTexture::Create(64, 64, true);
    layout->SetBlendMode();
    layout->Draw(TVec2(2.5f, 1.25f), UINT_MAX, 1.0f, 1, 0.75f, target);
    layout->SetRotation(static_cast<float>(data[0]), 10, 10);
    layout->SetHorizontalScale(0.5f + static_cast<float>(data[0] & 3));
    layout->SetCopyMode();
    layout->Draw(TVec2(), 64, 1.5f, 0, 1.0f, target);
    FontCache::Clear();
    THvMiniVecDraw::Destroy();
    return 0;
}
