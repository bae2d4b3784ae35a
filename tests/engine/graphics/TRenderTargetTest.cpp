#include "RendererTestSupport.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/device/TScreenVertex.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<uint32_t> Texels(const std::shared_ptr<TTexture>& texture)
{
    uint32_t* pixels = nullptr;
    int pitch = 0;
    std::vector<uint32_t> texels;
    if (!texture->Lock(pixels, pitch))
        return texels;
    for (int y = 0; y < texture->GetHeight(); ++y)
        texels.insert(texels.end(), pixels + y * pitch, pixels + y * pitch + texture->GetWidth());
    texture->Unlock();
    return texels;
}

// The renderer is process-wide.
using TRenderTargetTest = EngineStateTest;

TEST_F(TRenderTargetTest, AnAlphaTargetTurnsCoverageIntoAlphaAndKeepsTheColours)
{
    TTestDisplay display(100, 80);
    TRenderer& renderer = *display.renderer;
    display.BackBuffer().Fill(TRect(0, 0, 100, 80), 0xFF445566u); // the last frame
    const std::shared_ptr<TTexture> texture =
        TextureOf(64, 64, true, std::vector<uint32_t>(64 * 64, 0x00ABCDEFu));
    ASSERT_TRUE(renderer.BeginRenderTarget(texture, TRenderTargetMode::Alpha));
    renderer.Begin2d();
    DrawQuad(8, 4, 40, 20);                             // a white shape
    DrawQuad(50, 30, 60, 40, TColor(1, 1, 1, 1), 0.5f); // half covered
    renderer.End2d();
    renderer.EndRenderTarget();
    const std::vector<uint32_t> texels = Texels(texture);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t alpha = x >= 8 && x < 40 && y >= 4 && y < 20     ? 255u
                                   : x >= 50 && x < 60 && y >= 30 && y < 40 ? 127u
                                                                            : 0u;
            ASSERT_EQ(texels[static_cast<size_t>(y * 64 + x)], (alpha << 24) | 0x00ABCDEFu)
                << x << "," << y;
        }
    // Outside the target's corner the back buffer kept the last frame.
    EXPECT_EQ(display.BackBuffer().At(70, 70), 0xFF445566u);
}

TEST_F(TRenderTargetTest, ColourTargetsCopyTheCornerOpaqueOrWithItsAlpha)
{
    for (TRenderTargetMode mode : {TRenderTargetMode::Opaque, TRenderTargetMode::KeepAlpha}) {
        TTestDisplay display(32, 16);
        TRenderer& renderer = *display.renderer;
        // What the back buffer holds shows wherever the target draws nothing.
        display.BackBuffer().Fill(TRect(0, 0, 32, 16), 0x40112233u);
        const std::shared_ptr<TTexture> texture =
            TextureOf(64, 8, true, std::vector<uint32_t>(64 * 8, 0x00777777u));
        ASSERT_TRUE(renderer.BeginRenderTarget(texture, mode));
        renderer.Begin2d();
        renderer.SetBlendMode(kBlendOpaque);
        DrawQuad(0, 0, 4, 4, TColor(1, 0, 0, 1), 0.5f);
        renderer.End2d();
        renderer.EndRenderTarget();
        const std::vector<uint32_t> texels = Texels(texture);
        const uint32_t keptAlpha = mode == TRenderTargetMode::Opaque ? 0xFF000000u : 0x40000000u;
        // Mode 1 draws with the factor's alpha: what was drawn is opaque either way.
        EXPECT_EQ(texels[0], 0xFFFF0000u);
        EXPECT_EQ(texels[5], keptAlpha | 0x112233u);
        // Only the display's width is copied; the rest keeps its texels.
        EXPECT_EQ(texels[31], keptAlpha | 0x112233u);
        EXPECT_EQ(texels[32], 0x00777777u);
        EXPECT_EQ(texels[7 * 64 + 40], 0x00777777u);
    }
}

TEST_F(TRenderTargetTest, TheTexelCalibrationKeepsMinusOneHalf)
{
    // The display set-up's calibration: ten copies of a 16 x 16 white texture with black
    // corner texels drawn with point filtering at offsets -0.5 + 0.1 i; the first whose
    // copy shows both black texels in place wins.
    TTestDisplay display(800, 600);
    TRenderer& renderer = *display.renderer;
    std::vector<uint32_t> white(16 * 16, 0xFFFFFFFFu);
    white.front() = white.back() = 0xFF000000u;
    const std::shared_ptr<TTexture> small = TextureOf(16, 16, false, white);
    const std::shared_ptr<TTexture> large = TTexture::Create(1024, 512, false);
    renderer.FillRect(TRect(0, 0, 512, 512), TColor(1, 0, 0, 1), large);
    ASSERT_TRUE(renderer.BeginRenderTarget(large));
    renderer.Begin2d();
    renderer.SetFilter(TFilter::Point);
    for (int i = 0; i < 10; ++i) {
        display.handler->SetTexelOffset(-0.5f + 0.1f * static_cast<float>(i));
        DrawState state(TVec2(16.0f * static_cast<float>(i), 0), 1.0f, 1.0f, DrawState::kUseOrigin);
        TVec2 corners[4] = {TVec2(0, 0), TVec2(16, 0), TVec2(16, 16), TVec2(0, 16)};
        TLitVertex quad[4];
        BuildQuad(TVec2(), quad, corners, TTexCoordRect(), state.matrix, state.alpha, state.tint);
        renderer.SetTexture(small);
        renderer.DrawVertices(TPrimitiveType::TriangleFan, TVertexArray(quad, 4));
    }
    renderer.SetFilter(TFilter::Linear);
    renderer.End2d();
    renderer.EndRenderTarget();
    const std::vector<uint32_t> texels = Texels(large);
    int chosen = -1;
    for (int i = 0; i < 10 && chosen < 0; ++i) {
        const uint32_t first = texels[static_cast<size_t>(16 * i)] & 0xFFFFFFu;
        const uint32_t last = texels[static_cast<size_t>(15 * 1024 + 16 * i + 15)] & 0xFFFFFFu;
        if (first == 0 && last == 0)
            chosen = i;
    }
    EXPECT_EQ(chosen, 0); // the offset stays -0.5
    // And that copy is the texture, texel for texel.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(texels[static_cast<size_t>(y * 1024 + x)],
                      white[static_cast<size_t>(y * 16 + x)]);
}

TEST_F(TRenderTargetTest, TheSpanCalibrationFindsExactLineOffsets)
{
    // The vector rasteriser's calibration: for 128 combinations of start, end and
    // vertical offsets, two one-pixel spans are drawn as lines; a combination is exact
    // when exactly the two expected pixels are lit. A span's end is either the pixel
    // after it or its last pixel, depending on how the rasteriser counts.
    for (bool endAfter : {true, false}) {
        TTestDisplay display(800, 600);
        TRenderer& renderer = *display.renderer;
        const std::shared_ptr<TTexture> target = TTexture::Create(800, 512, true);
        ASSERT_TRUE(renderer.BeginRenderTarget(target, TRenderTargetMode::Alpha));
        renderer.Begin2d();
        std::vector<TScreenVertex> spans;
        for (int k = 0; k < 128; ++k) {
            const float start = static_cast<float>((k / 8) % 4) / 4.0f - 1.0f;
            const float end = static_cast<float>(k % 8) / 4.0f - 1.0f;
            const float vertical = static_cast<float>(k / 32) / 4.0f;
            for (int row = 1; row <= 2; ++row) {
                const float column = static_cast<float>(row + 4 * k);
                const float last = endAfter ? column + 1 : column;
                TScreenVertex a, b;
                a.x = column + start;
                b.x = last + end;
                a.y = b.y = static_cast<float>(row) + vertical;
                a.diffuse = b.diffuse = 0xFFFFFFFFu;
                spans.push_back(a);
                spans.push_back(b);
            }
        }
        renderer.DrawVertices(TPrimitiveType::LineList,
                              TVertexArray(spans.data(), static_cast<int>(spans.size())));
        renderer.End2d();
        renderer.EndRenderTarget();
        const std::vector<uint32_t> texels = Texels(target);
        std::set<int> exact;
        for (int k = 0; k < 128; ++k) {
            int lit = 0;
            for (int y = 0; y < 4; ++y)
                for (int x = 4 * k - 1; x < 4 * k + 4; ++x)
                    lit += x >= 0 && texels[static_cast<size_t>(y * 800 + x)] >> 24 != 0 ? 1 : 0;
            const bool expected = texels[static_cast<size_t>(800 + 1 + 4 * k)] >> 24 != 0 &&
                                  texels[static_cast<size_t>(1600 + 2 + 4 * k)] >> 24 != 0;
            if (lit == 2 && expected)
                exact.insert(k);
        }
        // Exact: start -0.75..-0.25, vertical 0 or 0.25, and an end in (-1, 0] when it is
        // the pixel after, in (0, 0.75] when it is the last pixel.
        std::set<int> predicted;
        for (int k = 0; k < 128; ++k) {
            const int startCode = (k / 8) % 4, endCode = k % 8, verticalCode = k / 32;
            const bool endFits = endAfter ? endCode >= 1 && endCode <= 4 : endCode >= 5;
            if (startCode >= 1 && verticalCode <= 1 && endFits)
                predicted.insert(k);
        }
        EXPECT_EQ(exact, predicted) << (endAfter ? "end after the span" : "end on its last pixel");
    }
}

} // namespace
