// The statistics overlay (Alt+F1): its text and where it is drawn.
#include "RendererTestSupport.h"
#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/text/TLayoutOverlayText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using TRendererStatsTest = EngineStateTest;

// The kilobytes the text shows after label ("Mem: ", "TexMem: ").
uint64_t Kilobytes(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    if (at == std::string::npos)
        return UINT64_MAX;
    return std::strtoull(text.c_str() + at + label.size(), nullptr, 10);
}

TEST_F(TRendererStatsTest, TheTextShowsTheSpritesTheProcessMemoryAndTheTextures)
{
    TTestDisplay display(8, 8);
    const std::string plain = display.renderer->FormatStats().CStr();
    EXPECT_EQ(plain.rfind(
                  "Tarnwick Version 4.0.14.1<br>0.000000 FPS<tab pos='150'>Sprites: 0<br>Mem: ", 0),
              0u)
        << plain;
    EXPECT_NE(plain.find("kb<tab pos='150'>TexMem: "), std::string::npos) << plain;
    // The resident set of a running process is never empty.
    EXPECT_GT(Kilobytes(plain, "Mem: "), 0u) << plain;
    EXPECT_NE(Kilobytes(plain, "Mem: "), UINT64_MAX) << plain;

    // Texture memory is what the cached textures' surfaces hold, and goes with them.
    const uint64_t before = TTexture::GetCachedSurfaceBytes();
    EXPECT_EQ(Kilobytes(plain, "TexMem: "), before / 1024) << plain;
    std::shared_ptr<TTexture> large = TTexture::Create(256, 128, true);
    std::shared_ptr<TTexture> small = TTexture::Create(64, 64, false);
    ASSERT_TRUE(large && small);
    uint64_t added = 0;
    for (const auto& texture : {large, small}) {
        int width = 0;
        int height = 0;
        texture->GetSurfaceSize(width, height);
        EXPECT_GE(width * height, texture->GetWidth() * texture->GetHeight());
        added += uint64_t(width) * uint64_t(height) * 4;
    }
    EXPECT_EQ(TTexture::GetCachedSurfaceBytes(), before + added);
    const std::string withTextures = display.renderer->FormatStats().CStr();
    EXPECT_EQ(Kilobytes(withTextures, "TexMem: "), (before + added) / 1024) << withTextures;
    large.reset();
    small.reset();
    EXPECT_EQ(TTexture::GetCachedSurfaceBytes(), before);

    SetConfig("current_sprite_count", "42");
    const std::string counted = display.renderer->FormatStats().CStr();
    EXPECT_NE(counted.find("Sprites: 42<br>"), std::string::npos);
}

// A frame of display with the overlay as it stands, drawn over white.
void DrawFrame(TTestDisplay& display)
{
    display.BackBuffer().Fill(TRect(0, 0, 320, 120), 0xFFFFFFFFu);
    ASSERT_TRUE(display.renderer->BeginDraw(false));
    display.renderer->EndDraw(false);
}

TEST_F(TRendererStatsTest, TheOverlayIsDrawnInTheCornerWhileItIsOn)
{
    TRenderer::SetOverlayTextFactory([] { return std::make_unique<TLayoutOverlayText>(); });
    TTestDisplay display(320, 120);
    TRenderer& renderer = *display.renderer;
    const auto frame = [&] { DrawFrame(display); };
    EXPECT_FALSE(renderer.ToggleStats());
    frame();
    // The box is cleared to 0; red text is drawn over it, and nothing outside it.
    int red = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x) {
            const uint32_t pixel = display.BackBuffer().At(x, y);
            EXPECT_EQ(pixel & 0x0000FFFFu, 0u) << x << "," << y;
            red += (pixel & 0x00FF0000u) != 0;
        }
    EXPECT_GT(red, 300);
    EXPECT_EQ(display.BackBuffer().At(310, 10), 0xFFFFFFFFu);
    EXPECT_EQ(display.BackBuffer().At(10, 70), 0xFFFFFFFFu);

    EXPECT_TRUE(renderer.ToggleStats());
    frame();
    EXPECT_EQ(display.BackBuffer().At(10, 10), 0xFFFFFFFFu);
}

TEST_F(TRendererStatsTest, WithoutOverlayTextTheOverlayIsItsBoxAlone)
{
    TTestDisplay display(320, 120);
    EXPECT_FALSE(display.renderer->ToggleStats());
    DrawFrame(display);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x)
            EXPECT_EQ(display.BackBuffer().At(x, y) & 0x00FFFFFFu, 0u) << x << "," << y;
    EXPECT_EQ(display.BackBuffer().At(310, 10), 0xFFFFFFFFu);
}

} // namespace
