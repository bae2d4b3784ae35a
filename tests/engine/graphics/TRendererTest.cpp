#include "RendererTestSupport.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TDisplaySetup.h"
#include "engine/graphics/TDraw2dScope.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/platform/TTimeSource.h"

#include <gtest/gtest.h>

namespace {

// The renderer is process-wide.
using TRendererTest = EngineStateTest;

TEST_F(TRendererTest, TheTwoDimensionalStateIsGuarded)
{
    TTestDisplay display(8, 8);
    TLogCapture log;
    TRenderer& renderer = *display.renderer;

    renderer.End2d();
    EXPECT_TRUE(log.Has(TRenderer::kEnd2dAloneLog));
    ASSERT_TRUE(renderer.Begin2d());
    EXPECT_FALSE(renderer.Begin2d());
    EXPECT_TRUE(log.Has(TRenderer::kBegin2dTwiceLog));
    renderer.End2d(); // one End2d leaves it
    EXPECT_FALSE(renderer.IsIn2d());

    // Drawing outside 2D is logged and draws nothing.
    TLitVertex quad[4];
    TVec2 corners[4] = {TVec2(0, 0), TVec2(8, 0), TVec2(8, 8), TVec2(0, 8)};
    BuildQuad(TVec2(), quad, corners, TTexCoordRect(), TMat3(), 1.0f, TColor(1, 1, 1, 1));
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    renderer.DrawVertices(TPrimitiveType::TriangleFan, TVertexArray(quad, 4));
    renderer.DrawIndexedVertices(TPrimitiveType::TriangleList, indices, TVertexArray(quad, 4), 6);
    EXPECT_TRUE(log.Has(TString::Printf(TRenderer::kOutside2dLog, "DrawVertices").CStr()));
    EXPECT_TRUE(log.Has(TString::Printf(TRenderer::kOutside2dLog, "DrawIndexedVertices").CStr()));
    EXPECT_EQ(display.BackBuffer().At(4, 4), 0u);

    // A scope inside an open block leaves the block open.
    ASSERT_TRUE(renderer.Begin2d());
    {
        TDraw2dScope inner;
        EXPECT_FALSE(inner.HasBegun());
    }
    EXPECT_TRUE(renderer.IsIn2d());
    renderer.End2d();
    {
        TDraw2dScope outer;
        EXPECT_TRUE(outer.HasBegun());
        EXPECT_TRUE(renderer.IsIn2d());
    }
    EXPECT_FALSE(renderer.IsIn2d());
}

TEST_F(TRendererTest, TheBottomClipRectangleStays)
{
    TRenderer& renderer = *TRenderer::Get();
    EXPECT_EQ(renderer.GetClipRect().right, 0); // empty stack: (0, 0, 0, 0)
    const TRect a(0, 0, 100, 100), b(10, 10, 50, 50), c(20, 20, 30, 30);
    struct Step
    {
        enum
        {
            Push,
            Set,
            Pop
        } action;
        TRect rect;
        TRect expected;
    };
    const Step steps[] = {
        {Step::Set, a, a}, // an empty stack takes the rectangle
        {Step::Push, b, b}, {Step::Push, c, c},
        {Step::Pop, {}, b}, {Step::Set, c, c},  // replaces the last
        {Step::Pop, {}, a}, {Step::Pop, {}, a}, // the bottom one is never removed
    };
    for (const Step& step : steps) {
        if (step.action == Step::Push)
            renderer.PushClipRect(step.rect);
        else if (step.action == Step::Set)
            renderer.SetClipRect(step.rect);
        else
            renderer.PopClipRect();
        const TRect clip = renderer.GetClipRect();
        EXPECT_EQ(clip.left, step.expected.left);
        EXPECT_EQ(clip.right, step.expected.right);
    }
}

TEST_F(TRendererTest, FillRectIsRelativeToTheViewportAndCutToIt)
{
    // Outside a frame by a raw fill, inside one by an opaque quad: the same pixels.
    for (bool inFrame : {false, true}) {
        TTestDisplay display(400, 300);
        TRenderer& renderer = *display.renderer;
        renderer.PushViewport(TRect(100, 50, 300, 250));
        if (inFrame) {
            ASSERT_TRUE(renderer.BeginDraw(false));
        }
        renderer.FillRect(TRect(0, 0, 500, 500), TColor(0, 1, 0, 1));
        if (inFrame)
            renderer.EndDraw(false);
        renderer.PopViewport();
        const TSurface& back = display.BackBuffer();
        for (int y = 0; y < 300; y += 1)
            for (int x = 0; x < 400; x += 1) {
                const bool inside = x >= 100 && x < 300 && y >= 50 && y < 250;
                ASSERT_EQ(back.At(x, y), inside ? 0xFF00FF00u : 0u)
                    << (inFrame ? "frame " : "blit ") << x << "," << y;
            }
    }
}

TEST_F(TRendererTest, FramesPerSecondComesEveryFifteenFrames)
{
    TTestDisplay display(4, 4);
    TManualTimeSource clock(1000);
    TRenderer& renderer = *display.renderer;
    for (int frame = 1; frame <= 14; ++frame) {
        clock.Advance(20);
        renderer.BeginDraw(false);
        renderer.EndDraw(false);
        EXPECT_EQ(renderer.GetFramesPerSecond(), 0.0f) << frame;
    }
    clock.Advance(20);
    renderer.EndDraw(false);
    EXPECT_FLOAT_EQ(renderer.GetFramesPerSecond(), 50.0f); // 14 intervals of 20 ms
}

TEST_F(TRendererTest, RenderTargetsAreRefusedInFramesAndForSimpleTextures)
{
    TTestDisplay display(16, 16);
    TRenderer& renderer = *display.renderer;
    std::shared_ptr<TTexture> texture = TTexture::Create(8, 8, true);
    std::shared_ptr<TTexture> simple = TTexture::Create(8, 8, true);
    simple->GetData().SetFlags(TTextureData::kSimple);

    ASSERT_TRUE(renderer.BeginDraw(false));
    EXPECT_FALSE(renderer.BeginRenderTarget(texture));
    renderer.EndDraw(false);
    EXPECT_FALSE(renderer.BeginRenderTarget(simple));
    EXPECT_FALSE(renderer.BeginRenderTarget(nullptr));

    ASSERT_TRUE(renderer.BeginRenderTarget(texture));
    EXPECT_TRUE(renderer.IsDrawing());
    EXPECT_FALSE(renderer.BeginRenderTarget(texture)); // one at a time
    renderer.EndRenderTarget();
    EXPECT_FALSE(renderer.IsDrawing());

    // While broken the begin fails and leaves the viewport as it was.
    display.handler->GetSetup().MarkBroken();
    EXPECT_FALSE(renderer.BeginRenderTarget(texture));
    EXPECT_FALSE(renderer.IsDrawing());
    EXPECT_EQ(renderer.GetViewport().right, 16);
    EXPECT_FALSE(renderer.BeginDraw(false));
}

TEST_F(TRendererTest, SimpleTexturesCountAsNone)
{
    TTestDisplay display(4, 4);
    std::shared_ptr<TTexture> simple = TTexture::Create(2, 2, true);
    simple->GetData().SetFlags(TTextureData::kSimple);
    display.renderer->SetTexture(simple);
    EXPECT_EQ(display.renderer->GetTexture(), nullptr);
    EXPECT_EQ(display.handler->GetDevice().GetTexture(), nullptr);
}

TEST_F(TRendererTest, OptionsAreOnAboveZero)
{
    // "new_render_blend" decides whether a screen blend mode sets COLORARG2.
    struct Case
    {
        const char* key;
        const char* value;
        bool setsArg2;
    };
    const Case cases[] = {{"new_render_blend", "0", false}, {"new_render_blend", "-1", false},
                          {"new_render_blend", "2", true},  {"new_render_blend", "1x", true},
                          {"new_render_blend", "", false},  {"something_else", "5", false}};
    for (const Case& c : cases) {
        TTestDisplay display(4, 4);
        TDeviceState& state = display.handler->GetDevice().State();
        display.renderer->SetOption(c.key, c.value);
        state.colorArg2 = {TArgSource::TFactor, false};
        display.renderer->SetBlendMode(kBlendNormal);
        EXPECT_EQ(state.colorArg2.source == TArgSource::Current, c.setsArg2)
            << c.key << "=" << c.value;
    }
}

TEST_F(TRendererTest, DrawStateComposeCombinesChildAndParent)
{
    DrawState parent(TVec2(10, 20), 0.5f, 2.0f, DrawState::kMirrorX | DrawState::kUseOrigin);
    parent.blendMode = kBlendAdditiveAlpha;
    DrawState child(TVec2(1, 0), 0.5f, 1.0f,
                    DrawState::kMirrorX | DrawState::kMirrorY | DrawState::kUseSourceRect);
    child.tint = TColor(1, 0, 0, 1);
    const DrawState inherited = DrawState::Compose(child, parent);
    // The child's offset (1, 0) is scaled by the parent and moved by its translation.
    const TVec2 at = TVec2(0, 0) * inherited.matrix;
    EXPECT_FLOAT_EQ(at.x, 12.0f);
    EXPECT_FLOAT_EQ(at.y, 20.0f);
    EXPECT_FLOAT_EQ(inherited.alpha, 0.25f);
    // Mirroring combines by exclusive or; 4 and 8 are the child's.
    EXPECT_EQ(inherited.flags, DrawState::kMirrorY | DrawState::kUseSourceRect);
    EXPECT_EQ(inherited.blendMode, kBlendAdditiveAlpha);
    EXPECT_EQ(inherited.tint.g, 0.0f);

    child.blendMode = kBlendOpaque;
    EXPECT_EQ(DrawState::Compose(child, parent).blendMode, kBlendOpaque);

    // The constructor: scale only when it is not 1, translation in row 2.
    const DrawState scaled(TVec2(3, 4), 1.0f, 2.0f, 0);
    const TVec2 corner = TVec2(1, 1) * scaled.matrix;
    EXPECT_FLOAT_EQ(corner.x, 5.0f);
    EXPECT_FLOAT_EQ(corner.y, 6.0f);
    EXPECT_EQ(scaled.blendMode, std::nullopt);
}

TEST_F(TRendererTest, BuildQuadFillsFourVerticesOfAFan)
{
    struct Case
    {
        float alpha;
        TColor color;
        uint32_t diffuse;
    };
    const Case cases[] = {
        {1.5f, TColor(1, 1, 1, 1), 0xFFFFFFFFu},
        {-0.2f, TColor(1, 1, 1, 1), 0x00FFFFFFu},
        {1.0f, TColor(0.5f, 0.5f, 0.5f, 1), 0xFF7F7F7Fu},   // truncated, not rounded
        {0.5f, TColor(1.05f, -0.1f, 0.0f, 1), 0x7FFF0000u}, // channels clamped first
    };
    for (const Case& c : cases) {
        TVec2 corners[4] = {TVec2(0, 0), TVec2(10, 0), TVec2(10, 10), TVec2(0, 10)};
        TLitVertex quad[4];
        BuildQuad(TVec2(100, 200), quad, corners, TTexCoordRect(), TMat3(), c.alpha, c.color);
        EXPECT_EQ(quad[0].diffuse, c.diffuse);
    }
    TVec2 corners[4] = {TVec2(0, 0), TVec2(10, 0), TVec2(10, 10), TVec2(0, 10)};
    TLitVertex quad[4];
    TMat3 matrix;
    matrix.Scale(2.0f, 3.0f);
    BuildQuad(TVec2(100, 200), quad, corners, TTexCoordRect{0.25f, 0.5f, 0.75f, 1.0f}, matrix, 1.0f,
              TColor(1, 1, 1, 1));
    const float expected[4][4] = {{100, 200, 0.25f, 0.5f},
                                  {120, 200, 0.75f, 0.5f},
                                  {120, 230, 0.75f, 1.0f},
                                  {100, 230, 0.25f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(quad[i].x, expected[i][0]);
        EXPECT_FLOAT_EQ(quad[i].y, expected[i][1]);
        EXPECT_FLOAT_EQ(quad[i].u, expected[i][2]);
        EXPECT_FLOAT_EQ(quad[i].v, expected[i][3]);
        EXPECT_FLOAT_EQ(quad[i].z, 0.1f);
        EXPECT_FLOAT_EQ(quad[i].reserved, 0.5f);
        EXPECT_EQ(quad[i].specular, 0xFF000000u);
    }
    EXPECT_FLOAT_EQ(corners[2].x, 20.0f); // the corners come back transformed
    EXPECT_FLOAT_EQ(corners[2].y, 30.0f);
}

TEST_F(TRendererTest, TheSeamMakesTheRendererAndItsDisplay)
{
    {
        TLogCapture log;
        EXPECT_EQ(TEngineSeams::CreateRenderer(), nullptr);
        EXPECT_TRUE(log.Has("renderer: none installed"));
    }
    InstallGraphics();
    {
        std::unique_ptr<TRendererSeam> link = TEngineSeams::CreateRenderer();
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->GetDisplay(), nullptr);
        TDisplaySeam* display = link->CreateDisplay();
        ASSERT_NE(display, nullptr);
        EXPECT_EQ(link->GetDisplay(), display);
        // Without a platform there is no window to open a display in.
        EXPECT_FALSE(display->SetDisplay(32, 16, false));
        EXPECT_FALSE(display->IsValid());
        ASSERT_TRUE(TRenderer::Get()->GetDisplayHandler().OpenBackBuffer(32, 16));
        EXPECT_TRUE(display->IsValid());
        link->PopClipRect();
        link->PushClipRect(0, 0, 32, 16);
        link->FillRect(4, 2, 8, 3, 0xFFFF0000u);
        const TSurface* back = TRenderer::Get()->GetDisplayHandler().GetBackBuffer();
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->GetWidth(), 32);
        EXPECT_EQ(back->At(4, 2), 0xFFFF0000u);
        EXPECT_EQ(back->At(8, 2), 0u);
    }
    // The link's end ends the renderer: the next Get makes a new one without a display.
    EXPECT_EQ(TRenderer::Get()->GetDisplayHandler().GetBackBuffer(), nullptr);
}

} // namespace
