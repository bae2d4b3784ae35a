// The statistics overlay (Alt+F1): its text and where it is drawn.
#include "RendererTestSupport.h"
#include "engine/foundation/core/Settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TRendererStatsTest = EngineStateTest;

TEST_F(TRendererStatsTest, TheTextReadsTheCountersFromTheSettings)
{
    TTestDisplay display(8, 8);
    const std::string plain = display.renderer->FormatStats().CStr();
    EXPECT_EQ(plain.rfind(
                  "Tarnwick Version 4.0.14.1<br>0.000000 FPS<tab pos='150'>Sprites: 0<br>Mem: ", 0),
              0u)
        << plain;
    EXPECT_NE(plain.find("kb<tab pos='150'>TexMem: 0kb<br>"), std::string::npos) << plain;
    SetConfig("texture_ram_allocated", "5000");
    SetConfig("current_sprite_count", "42");
    const std::string counted = display.renderer->FormatStats().CStr();
    EXPECT_NE(counted.find("Sprites: 42<br>"), std::string::npos);
    EXPECT_NE(counted.find("TexMem: 4kb<br>"), std::string::npos);
}

TEST_F(TRendererStatsTest, TheOverlayIsDrawnInTheCornerWhileItIsOn)
{
    TTestDisplay display(320, 120);
    TRenderer& renderer = *display.renderer;
    const auto frame = [&] {
        display.BackBuffer().Fill(TRect(0, 0, 320, 120), 0xFFFFFFFFu);
        ASSERT_TRUE(renderer.BeginDraw(false));
        renderer.EndDraw(false);
    };
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

} // namespace
