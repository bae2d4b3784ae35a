#include "engine/graphics/TDXContext.h"

#include "DisplayTestSupport.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/device/TSurface.h"

#include <gtest/gtest.h>

namespace {

using TDXContextTest = EngineStateTest;

TEST_F(TDXContextTest, AWindowFitsOnlyWhenSmallerThanTheDesktopBothWays)
{
    struct TCase
    {
        int width;
        int height;
        bool tooSmall;
    };
    const TCase cases[] = {{800, 600, true}, {799, 599, false}, {799, 600, true},
                           {800, 599, true}, {1200, 10, true},  {0, 0, false}};
    TDXContext context;
    context.SetDesktopMode(-1, 800, 600);
    for (const TCase& c : cases)
        EXPECT_EQ(context.IsDesktopTooSmall(c.width, c.height), c.tooSmall)
            << c.width << "x" << c.height;
}

TEST_F(TDXContextTest, CreateChecksTheDesktopAndRecoversFromAFailure)
{
    TFakeScreen screen;
    screen.desktop = {800, 600, 75};
    TFakeOutputScope fake(screen);
    TDXContext context;
    EXPECT_FALSE(context.Create(false, 800, 600)); // a window that does not fit
    EXPECT_TRUE(screen.opens.empty());
    screen.failOpens = 1;
    EXPECT_FALSE(context.Create(true, 800, 600));
    EXPECT_FALSE(context.IsOpen());
    EXPECT_TRUE(context.Create(true, 800, 600));
    EXPECT_TRUE(context.IsOpen());
    EXPECT_EQ(context.GetRefreshRate(), 75);
    context.Destroy();
    EXPECT_FALSE(context.IsOpen());
}

TEST_F(TDXContextTest, PresentShowsTheBackBufferOfTheOpenSize)
{
    TFakeScreen screen;
    TFakeOutputScope fake(screen);
    TDXContext context;
    TSurface frame(4, 2);
    frame.At(3, 1) = 0xFF112233u;
    EXPECT_FALSE(context.Present(frame)); // nothing open
    ASSERT_TRUE(context.Create(false, 4, 2));
    EXPECT_FALSE(context.Present(TSurface(2, 2)));
    ASSERT_TRUE(context.Present(frame));
    EXPECT_EQ(screen.lastFrame, std::vector<uint32_t>(frame.GetPixels(), frame.GetPixels() + 8));
}

TEST_F(TDXContextTest, ThePointerIsStoredInDisplayPixels)
{
    TFakeScreen screen;
    screen.desktop = {1600, 1200, 60};
    TFakeOutputScope fake(screen);
    TDXContext context;
    ASSERT_TRUE(context.Create(true, 800, 600)); // stretched over 1600 x 1200
    EXPECT_EQ(context.GetMousePosition().x, -1);
    const TDXContext::TPoint moved = context.MoveMouse(801, 599);
    EXPECT_EQ(moved.x, 400);
    EXPECT_EQ(moved.y, 299);
    ASSERT_EQ(screen.pointer.size(), 1u);
    EXPECT_EQ(screen.pointer[0], std::make_pair(801, 599));
    // The cursor thread's question reaches nothing but the stored position.
    const TDXContext::TPoint asked = context.MoveMouse(-1, -1);
    EXPECT_EQ(asked.x, 400);
    EXPECT_EQ(asked.y, 299);
    EXPECT_EQ(screen.pointer.size(), 1u);
    context.HideCursor();
    EXPECT_EQ(context.GetMousePosition().x, -1);
    EXPECT_EQ(context.GetMousePosition().y, -1);
    // Windowed, window and display pixels are the same.
    ASSERT_TRUE(context.Create(false, 800, 600));
    EXPECT_EQ(context.MoveMouse(801, 599).x, 801);
}

TEST_F(TDXContextTest, TheCursorImageBecomesThePointer)
{
    TFakeScreen screen;
    TFakeOutputScope fake(screen);
    TDXContext context;
    const std::shared_ptr<TTexture> image = TTexture::Create(2, 1, false);
    uint32_t* texels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(image->Lock(texels, pitch));
    texels[0] = 0xFFFF00FFu;
    texels[1] = 0xFFFFFFFFu;
    image->Unlock();
    ASSERT_TRUE(context.SetMouseImage(image, 1, 0));
    EXPECT_EQ(screen.cursorPixels, (std::vector<uint32_t>{0u, 0xFFFEFEFEu}));
    EXPECT_EQ(screen.hotX, 1);
    EXPECT_EQ(screen.hotY, 0);
    EXPECT_TRUE(context.HasMouseImage());
    // No image: the system's arrow.
    ASSERT_TRUE(context.SetMouseImage(nullptr, 2, 2));
    EXPECT_TRUE(screen.cursorPixels.empty());
    EXPECT_EQ(screen.cursorImages, 2);
}

TEST_F(TDXContextTest, ShowingThePointerTwiceShowsItOnce)
{
    TFakeScreen screen;
    TFakeOutputScope fake(screen);
    TDXContext context;
    context.ShowMouse(true);
    context.ShowMouse(true);
    context.ShowMouse(false);
    context.ShowMouse(false);
    EXPECT_EQ(screen.cursorShows, (std::vector<bool>{true, false}));
}

} // namespace
