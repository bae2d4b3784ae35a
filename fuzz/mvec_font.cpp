// The ".mvec" vector font reader (TVecFont, through FontCache from a memory file) over
// arbitrary files, and the rasteriser over whatever outlines they hold: every glyph of a
// font that loads is looked up, measured and drawn into a small texture, plain and with
// outline and bold strokes, italic and rotated. Whatever loads must keep its outlines
// inside the file.
// Seeds: fuzz/corpus/mvec_font/, DejaVu subsets written by mkmvec (make-fuzz-seeds).
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/text/TVecFont.h"
#include "engine/graphics/vector/THvMiniVecDraw.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kMostGlyphsDrawn = 256;

void Draw(const TVecFont& font, const std::shared_ptr<TTexture>& target, int round)
{
    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
    draw.SetTargetModes(round == 0, round == 1);
    draw.SetStrokeWidths(round == 1 ? 1.5f : 0.0f, round == 1 ? 0.5f : 0.0f);
    draw.SetItalic(round == 2);
    draw.SetRotation(round == 2 ? 0.8f : 1.0f, round == 2 ? 0.6f : 0.0f);
    draw.Begin(8.25f, 40.5f, target);
    draw.SetSlotColor(1, TColor(1, 1, 1, 1), 1.0f);
    draw.SetSlotColor(255, TColor(1, 0, 0, 1), 1.0f);
    for (int glyph = 0; glyph < font.GetGlyphCount() && glyph < kMostGlyphsDrawn; ++glyph) {
        const float scale = 0.05f + 0.3f * static_cast<float>(glyph % 4);
        draw.SetScale(scale, scale * font.GetGlyphScale(glyph));
        draw.DrawGlyph(font.GetGlyphData(glyph), font.GetGlyphDataSize(glyph), glyph % 7,
                       -(glyph % 5));
    }
    draw.Flush();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RegisterMemoryFile("fonts/fuzz.mvec", data, size);
    const TVecFont* font = FontCache::GetFont("fonts/fuzz.mvec");
    RegisterMemoryFile("fonts/fuzz.mvec", nullptr, 0);
    if (font == nullptr)
        std::abort();
    for (int glyph = 0; glyph < font->GetGlyphCount(); ++glyph)
        if (font->GetGlyphData(glyph) == nullptr)
            std::abort();
    static const std::shared_ptr<TTexture> target = TTexture::Create(64, 64, true);
    for (int round = 0; round < 3; ++round)
        Draw(*font, target, round);
    FontCache::Clear();
    return 0;
}
