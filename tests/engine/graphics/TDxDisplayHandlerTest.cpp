#include "RendererTestSupport.h"
#include "engine/graphics/TBlendMode.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The pixels of the back buffer that are not 0, as a rectangle (empty when none).
TRect Drawn(const TSurface& surface)
{
    TRect box(surface.GetWidth(), surface.GetHeight(), 0, 0);
    for (int y = 0; y < surface.GetHeight(); ++y)
        for (int x = 0; x < surface.GetWidth(); ++x)
            if (surface.At(x, y) != 0) {
                box.Union(box, TRect(x, y, x + 1, y + 1));
            }
    return box.right > box.left ? box : TRect();
}

void ExpectRect(const TRect& r, int left, int top, int right, int bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

// A frame in 2D with a white quad over (left, top) - (right, bottom) in viewport pixels.
void DrawWhite(TRenderer& renderer, float left, float top, float right, float bottom)
{
    ASSERT_TRUE(renderer.BeginDraw(false));
    renderer.Begin2d();
    DrawQuad(left, top, right, bottom);
    renderer.End2d();
    renderer.EndDraw(false);
}

// The renderer is process-wide.
using TDxDisplayHandlerTest = EngineStateTest;

TEST_F(TDxDisplayHandlerTest, AClipInsideTheViewportStartsDrawingAtItsCorner)
{
    TTestDisplay display(200, 200);
    TRenderer& renderer = *display.renderer;
    renderer.PushClipRect(TRect(100, 100, 150, 160));
    // A vertex at (100, 100) lands on the clip's top-left pixel; nothing leaves the clip.
    DrawWhite(renderer, 100, 100, 400, 400);
    ExpectRect(Drawn(display.BackBuffer()), 100, 100, 150, 160);
}

TEST_F(TDxDisplayHandlerTest, ViewportsStackAndOffsetDrawing)
{
    TTestDisplay display(64, 64);
    TRenderer& renderer = *display.renderer;
    renderer.PushViewport(TRect(10, 20, 40, 50));
    renderer.PushViewport(TRect(30, 30, 34, 33));
    ExpectRect(renderer.GetViewport(), 30, 30, 34, 33);
    renderer.PopViewport();
    ExpectRect(renderer.GetViewport(), 10, 20, 40, 50);
    DrawWhite(renderer, 2, 3, 100, 100); // cut to the viewport
    ExpectRect(Drawn(display.BackBuffer()), 12, 23, 40, 50);
    renderer.PopViewport();
    ExpectRect(renderer.GetViewport(), 0, 0, 64, 64);
    {
        TLogCapture log;
        renderer.PopViewport(); // unbalanced: logged, nothing changes
        EXPECT_TRUE(log.Has(TDxDisplayHandler::kViewportPopWithoutPushLog));
    }
    ExpectRect(renderer.GetViewport(), 0, 0, 64, 64);
}

TEST_F(TDxDisplayHandlerTest, EmptyOrOffDisplayClipsDrawNothing)
{
    const TRect clips[] = {TRect(20, 20, 20, 30), TRect(70, 0, 90, 64), TRect(0, -30, 64, -2),
                           TRect(40, 40, 30, 50)};
    for (const TRect& clip : clips) {
        TTestDisplay display(64, 64);
        display.renderer->PushClipRect(clip);
        DrawWhite(*display.renderer, -100, -100, 200, 200);
        ExpectRect(Drawn(display.BackBuffer()), 0, 0, 0, 0);
    }
}

TEST_F(TDxDisplayHandlerTest, TheProjectionFollowsTheTexelOffset)
{
    struct Case
    {
        float offset;
        int left;
    };
    // x maps to x + offset: a quad from 4 to 8 covers the centres in [4 + t, 8 + t).
    const Case cases[] = {{-0.5f, 4}, {0.0f, 4}, {0.25f, 5}, {0.5f, 5}, {-0.75f, 4}, {-1.0f, 3}};
    for (const Case& c : cases) {
        TTestDisplay display(16, 16);
        display.handler->SetTexelOffset(c.offset);
        DrawWhite(*display.renderer, 4, 4, 8, 8);
        ExpectRect(Drawn(display.BackBuffer()), c.left, c.left, c.left + 4, c.left + 4);
    }
}

TEST_F(TDxDisplayHandlerTest, AOneToOneTexturedQuadCopiesItsTexture)
{
    std::mt19937 random(5);
    std::vector<uint32_t> texels(24 * 10);
    for (uint32_t& texel : texels)
        texel = static_cast<uint32_t>(random()) | 0xFF000000u;
    const std::shared_ptr<TTexture> texture = TextureOf(24, 10, true, texels);
    for (TFilter filter : {TFilter::Point, TFilter::Linear}) {
        TTestDisplay display(40, 20);
        TRenderer& renderer = *display.renderer;
        renderer.PushViewport(TRect(5, 3, 40, 20));
        ASSERT_TRUE(renderer.BeginDraw(false));
        renderer.Begin2d();
        renderer.SetFilter(filter);
        renderer.SetTexture(texture);
        DrawQuad(2, 1, 26, 11);
        renderer.End2d();
        renderer.EndDraw(false);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                const int tx = x - 7, ty = y - 4;
                const bool inside = tx >= 0 && tx < 24 && ty >= 0 && ty < 10;
                ASSERT_EQ(display.BackBuffer().At(x, y),
                          inside ? texels[static_cast<size_t>(ty * 24 + tx)] : 0u)
                    << "filter " << static_cast<int>(filter) << " at " << x << "," << y;
            }
    }
}

TEST_F(TDxDisplayHandlerTest, FillsOutsideAndInsideAFrame)
{
    TTestDisplay display(8, 8);
    TRenderer& renderer = *display.renderer;
    // Outside a frame: the raw pixel, channels truncated.
    renderer.FillRect(TRect(0, 0, 2, 2), TColor(1, 0.5f, 0, 1));
    EXPECT_EQ(display.BackBuffer().At(1, 1), 0xFFFF7F00u);
    // Into a texture: texel coordinates, cut to it; without alpha the alpha stays 255.
    const std::shared_ptr<TTexture> opaque = TTexture::Create(4, 4, false);
    renderer.FillRect(TRect(2, 2, 9, 9), TColor(0, 0, 1, 0), opaque);
    uint32_t* texels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(opaque->Lock(texels, pitch));
    EXPECT_EQ(texels[3 * pitch + 3], 0xFF0000FFu);
    EXPECT_EQ(texels[0], 0xFF000000u);
    opaque->Unlock();

    // Inside a frame: an opaque quad whatever the alpha; the blend mode is left at 0.
    display.BackBuffer().Fill(TRect(0, 0, 8, 8), 0xFF808080u);
    ASSERT_TRUE(renderer.BeginDraw(false));
    renderer.Begin2d();
    renderer.SetBlendMode(kBlendAdditiveAlpha);
    renderer.FillRect(TRect(2, 2, 4, 4), TColor(0, 0, 0, 0));
    EXPECT_EQ(display.handler->GetBlendMode(), kBlendNormal);
    renderer.End2d();
    renderer.EndDraw(false);
    EXPECT_EQ(display.BackBuffer().At(2, 2), 0xFF000000u);
    EXPECT_EQ(display.BackBuffer().At(4, 4), 0xFF808080u);

    // In an alpha target the colour's alpha is added as coverage (twice 0.25 here).
    const std::shared_ptr<TTexture> mask = TTexture::Create(4, 4, true);
    ASSERT_TRUE(renderer.BeginRenderTarget(mask, TRenderTargetMode::Alpha));
    renderer.FillRect(TRect(0, 0, 2, 2), TColor(1, 1, 1, 0.25f));
    renderer.FillRect(TRect(1, 1, 3, 3), TColor(1, 1, 1, 0.25f));
    renderer.EndRenderTarget();
    ASSERT_TRUE(mask->Lock(texels, pitch));
    EXPECT_EQ(texels[0] >> 24, 63u);
    EXPECT_EQ(texels[pitch + 1] >> 24, 126u);
    EXPECT_EQ(texels[2 * pitch + 2] >> 24, 63u);
    EXPECT_EQ(texels[3 * pitch + 3] >> 24, 0u);
    mask->Unlock();
}

} // namespace
