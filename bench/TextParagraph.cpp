// A paragraph of 300 words with markup (bold, italic, underline, colours, an outline, a
// link) in the built-in font (DejaVu Sans) at 16 pixels, laid out in an 800 x 600 box and
// drawn onto the software device's 800 x 600 back buffer, as a text window draws it:
//   Cold: laid out and drawn with an empty font cache and glyph span cache;
//   WarmLayoutAndDraw: laid out anew and drawn, every glyph's spans already cached;
//   WarmDraw: drawn again (a layout is made only when its text changes): the cost text
//   adds to a frame (goal: under 0.5 ms). Compare with bench_DeviceFrame's frame time.
// bench_TextParagraph --png FILE writes the drawn frame to look at.

#include "bench/support/BenchRun.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/text/TTextLayout.h"
#include "engine/graphics/vector/THvMiniVecDraw.h"

#include <benchmark/benchmark.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kWords = 300;

// 300 words, every seventh one styled in turn.
std::string Paragraph()
{
    const char* words[] = {"relaxing", "spa",   "guests", "arrive",  "early", "and",
                           "wait",     "for",   "their",  "massage", "while", "the",
                           "steam",    "rises", "over",   "warm",    "tiles", "café"};
    const char* styles[][2] = {{"<b>", "</b>"},
                               {"<i>", "</i>"},
                               {"<u>", "</u>"},
                               {"<font color=\"#c0392b\">", "</font>"},
                               {"<outline color=\"#f1c40f\">", "</outline>"},
                               {"<a id=\"more\" color=\"#2980b9\">", "</a>"}};
    std::string text;
    for (int i = 0; i < kWords; ++i) {
        const std::string word = words[(i * 7 + i / 3) % 18];
        if (i % 7 == 3) {
            const auto& style = styles[(i / 7) % 6];
            text += style[0] + word + style[1];
        } else {
            text += word;
        }
        text += i % 40 == 39 ? ".<br>" : " ";
    }
    return text;
}

class TTextBench
{
public:
    TTextBench()
    {
        TRenderer& renderer = *TRenderer::Get();
        renderer.GetDisplayHandler().OpenBackBuffer(kWidth, kHeight);
        renderer.PushClipRect(TRect(0, 0, kWidth, kHeight));
        THvMiniVecDraw::Get().CalibrateSpanOffsets();
    }
    ~TTextBench()
    {
        THvMiniVecDraw::Destroy();
        FontCache::Clear();
        TRenderer::Destroy();
    }

    static std::unique_ptr<TTextLayout> Lay(const std::string& text)
    {
        return CreateTextLayout(text.c_str(), kWidth - 20, kHeight, 0, nullptr, 16,
                                TColor(0.1f, 0.1f, 0.1f, 1));
    }

    static void Draw(TTextLayout& layout)
    {
        TRenderer& renderer = *TRenderer::Get();
        renderer.BeginDraw(false);
        renderer.Begin2d();
        layout.DrawInRect(TRect(10, 10, kWidth - 10, kHeight - 10), 1.0f, 0, 1.0f);
        renderer.End2d();
        renderer.EndDraw(false);
    }
};

void Cold(benchmark::State& state)
{
    SetNoGoal(state, "text drawn first, nothing cached yet");
    const TTextBench bench;
    const std::string text = Paragraph();
    for (auto _ : state) {
        state.PauseTiming();
        THvMiniVecDraw::Destroy();
        FontCache::Clear();
        state.ResumeTiming();
        const auto layout = TTextBench::Lay(text);
        TTextBench::Draw(*layout);
    }
}

void WarmLayoutAndDraw(benchmark::State& state)
{
    SetNoGoal(state, "text laid out anew, as after a change");
    const TTextBench bench;
    const std::string text = Paragraph();
    TTextBench::Draw(*TTextBench::Lay(text));
    for (auto _ : state) {
        const auto layout = TTextBench::Lay(text);
        TTextBench::Draw(*layout);
    }
}

void WarmDraw(benchmark::State& state)
{
    SetGoal(state, "under 0.5 ms, what text adds to a frame");
    const TTextBench bench;
    const auto layout = TTextBench::Lay(Paragraph());
    TTextBench::Draw(*layout);
    state.counters["lines"] = layout->GetLineCount();
    const TSpanCache& cache = THvMiniVecDraw::Get().GetSpanCache();
    state.counters["cached glyphs"] = static_cast<double>(cache.GetGlyphCount());
    state.counters["spans a glyph"] =
        static_cast<double>(cache.GetRecordCount() - cache.GetGlyphCount()) /
        static_cast<double>(cache.GetGlyphCount());
    for (auto _ : state)
        TTextBench::Draw(*layout);
}

BENCHMARK(Cold)->Unit(benchmark::kMillisecond);
BENCHMARK(WarmLayoutAndDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(WarmDraw)->Unit(benchmark::kMillisecond);

// Draws the paragraph once and writes the back buffer to path.
bool WritePicture(const char* path)
{
    const TTextBench bench;
    TRenderer::Get()->GetDisplayHandler().GetBackBuffer()->Fill(TRect(0, 0, kWidth, kHeight),
                                                                0xFFF5F0E6u);
    TTextBench::Draw(*TTextBench::Lay(Paragraph()));
    const TSurface& back = *TRenderer::Get()->GetDisplayHandler().GetBackBuffer();
    std::vector<uint32_t> pixels(back.GetPixels(), back.GetPixels() + kWidth * kHeight);
    for (uint32_t& pixel : pixels)
        pixel |= 0xFF000000u;
    TPathMap::Get().SetDataFolders(".", ".", ".");
    return WritePngImage(TString("user:") + path, pixels.data(), kWidth, kHeight, kWidth * 4);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--png") == 0)
        return WritePicture(argv[2]) ? 0 : 1;
    return RunBenchmarks(argc, argv);
}
