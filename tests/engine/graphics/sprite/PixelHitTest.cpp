// Pixel hit tests of sprites (TSprite::HitTest with a minimum alpha): a table of answers,
// and the answers compared with what drawing the sprite into an alpha render target
// gives the pixel under the point.

#include "engine/foundation/math/TMat3.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TDraw2dScope.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/sprite/TAnimatedSprite.h"
#include "engine/graphics/sprite/TSprite.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/DisplayTestSupport.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/graphics/RendererTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// 8 x 8 texels: row 0 opaque, column 7 clear, the others 20 + 30 x + 3 y (every texel
// its own alpha, rising to the right and downwards).
std::shared_ptr<TTexture> Ramp()
{
    std::vector<uint32_t> texels(64);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint32_t alpha = x == 7 ? 0u : y == 0 ? 255u : uint32_t(20 + 30 * x + 3 * y);
            texels[size_t(y * 8 + x)] = alpha << 24 | 0x336699u;
        }
    return TextureOf(8, 8, true, texels);
}

// A 16 x 8 sheet of two frames: frame 0 (0, 0, 8, 8) opaque in its top half, frame 1
// (8, 0, 6, 4) opaque in its left three columns; everything else clear.
void PutFrames(const TImageFolder& folder)
{
    std::vector<uint32_t> pixels(16 * 8, 0u);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x < 8 && y < 4) || (x >= 8 && x < 11 && y < 4))
                pixels[size_t(y * 16 + x)] = 0xff804020u;
    folder.Put("hit/frames.png", "");
    ASSERT_TRUE(WritePngImage("user:hit/frames.png", pixels.data(), 16, 8, 16 * 4));
    folder.Put("hit/frames.xml",
               "<sequence name=\"two\">\n"
               "  <img w=\"16\" h=\"8\" name=\"frames.png\"/>\n"
               "  <framelist>\n"
               "    <frame x=\"0\" y=\"0\" w=\"8\" h=\"8\" regx=\"0\" regy=\"0\"/>\n"
               "    <frame x=\"8\" y=\"0\" w=\"6\" h=\"4\" regx=\"3\" regy=\"2\" alpha=\"0.5\"/>\n"
               "  </framelist>\n"
               "</sequence>\n");
}

// The alpha that drawing sprite under parent into a 4 x 4 alpha render target, point on
// pixel (1, 1), gives that pixel; -1 when the target cannot be drawn.
int RenderedAlpha(TSprite& sprite, const TVec2& point, const DrawState& parent)
{
    static std::shared_ptr<TTexture> target;
    if (!target)
        target = TTexture::Create(4, 4, true);
    TRenderer* renderer = TRenderer::Get();
    if (!renderer->BeginRenderTarget(target, TRenderTargetMode::Alpha))
        return -1;
    {
        TDraw2dScope scope;
        DrawState moved = parent;
        moved.matrix.Row(2).x += 1.0f - point.x;
        moved.matrix.Row(2).y += 1.0f - point.y;
        sprite.Draw(moved);
    }
    renderer->EndRenderTarget();
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (!target->Lock(pixels, pitch))
        return -1;
    const int alpha = static_cast<int>(pixels[pitch + 1] >> 24);
    target->Unlock();
    return alpha;
}

class PixelHitTest : public EngineStateTest
{
protected:
    void SetUp() override { PutFrames(mFolder); }

    // An animated sprite showing frame of the two frames.
    std::shared_ptr<TSprite> Animated(int frame)
    {
        std::shared_ptr<TAnimatedSprite> sprite = TAnimatedSprite::Create();
        sprite->SetTexture(TAnimatedTexture::Get("user:hit/frames"));
        EXPECT_NE(sprite->GetAnimation(), nullptr);
        sprite->SetCurrentFrame(frame);
        return sprite;
    }

    TImageFolder mFolder;
    TTestDisplay mDisplay{64, 64};
};

struct THitCase
{
    const char* what;
    std::function<std::shared_ptr<TSprite>()> make;
    float x, y;
    int minAlpha;
    bool hit;
};

// A ramp sprite with its top-left corner at (0, 0) of the state, changed by change.
std::function<std::shared_ptr<TSprite>()> RampSprite(std::function<void(TSprite&)> change = {})
{
    return [change] {
        std::shared_ptr<TSprite> sprite = TSprite::Create(0, Ramp());
        sprite->SetFlags(DrawState::kUseOrigin);
        if (change)
            change(*sprite);
        return sprite;
    };
}

// A ramp over the whole of its parent, multiplying.
std::shared_ptr<TSprite> Multiplying()
{
    std::shared_ptr<TSprite> child = TSprite::Create(1, Ramp());
    child->SetFlags(DrawState::kUseOrigin);
    child->SetBlendMode(kBlendMultiplicative);
    return child;
}

TEST_F(PixelHitTest, AnswersForTheseSpritesAndPoints)
{
    const DrawState parent(TVec2(20, 20)); // the ramp spans (20, 20) - (28, 28)
    const THitCase cases[] = {
        {"opaque row", RampSprite(), 21, 20, 255, true},
        {"texel (3, 4) has alpha 122", RampSprite(), 23, 24, 122, true},
        {"texel (3, 4) below 123", RampSprite(), 23, 24, 123, false},
        {"clear column", RampSprite(), 27, 24, 1, false},
        {"clear column, no minimum", RampSprite(), 27, 24, 0, true},
        {"outside", RampSprite(), 28, 24, 0, false},
        {"outside above", RampSprite(), 23, 19, 0, false},
        {"linear filtering between texels (3, 4) and (4, 4)", RampSprite(), 23.5f, 24, 137, true},
        {"linear filtering, not more", RampSprite(), 23.5f, 24, 138, false},
        {"scaled 2x: texel (3, 4) at (26, 28)",
         RampSprite([](TSprite& s) { s.SetMatrix(TMat3(2, 0, 0, 0, 2, 0, 0, 0, 1)); }), 26.5f,
         28.5f, 122, true},
        {"scaled 2x: clear column at (34, 28)",
         RampSprite([](TSprite& s) { s.SetMatrix(TMat3(2, 0, 0, 0, 2, 0, 0, 0, 1)); }), 34.5f,
         28.5f, 1, false},
        {"rotated a quarter: the clear column runs along the bottom",
         RampSprite([](TSprite& s) { s.SetMatrix(TMat3::Rotation(std::acos(0.0f))); }), 16, 27, 1,
         false},
        {"rotated a quarter: the opaque row runs along the right",
         RampSprite([](TSprite& s) { s.SetMatrix(TMat3::Rotation(std::acos(0.0f))); }), 19, 21, 255,
         true},
        {"mirrored left to right: the clear column on the left",
         RampSprite([](TSprite& s) { s.SetFlags(DrawState::kUseOrigin | DrawState::kMirrorX); }),
         20, 24, 1, false},
        {"mirrored left to right: texel (6, 4) on the left",
         RampSprite([](TSprite& s) { s.SetFlags(DrawState::kUseOrigin | DrawState::kMirrorX); }),
         21, 24, 212, true},
        {"mirrored top to bottom: the opaque row at the bottom",
         RampSprite([](TSprite& s) { s.SetFlags(DrawState::kUseOrigin | DrawState::kMirrorY); }),
         22, 27, 255, true},
        {"a source rectangle of columns 4 to 8: clear at its right", RampSprite([](TSprite& s) {
             s.SetFlags(DrawState::kUseOrigin | DrawState::kUseSourceRect);
             s.SetSourceRect(TRect(4, 0, 8, 8));
         }),
         23, 24, 1, false},
        {"the sprite's alpha does not weaken the pixel",
         RampSprite([](TSprite& s) { s.SetAlpha(0.2f); }), 21, 20, 255, true},
        {"hidden", RampSprite([](TSprite& s) { s.SetVisible(false); }), 21, 20, 0, false},
        {"multiplicative: nothing under it to multiply",
         RampSprite([](TSprite& s) { s.SetBlendMode(kBlendMultiplicative); }), 21, 20, 1, false},
        {"multiplicative, no minimum",
         RampSprite([](TSprite& s) { s.SetBlendMode(kBlendMultiplicative); }), 21, 20, 0, true},
        {"multiplicative over its parent: 122 x 122 / 255 = 58",
         RampSprite([](TSprite& s) { s.AddChild(Multiplying()); }), 23, 24, 58, true},
        {"multiplicative over its parent, not more",
         RampSprite([](TSprite& s) { s.AddChild(Multiplying()); }), 23, 24, 59, false},
        {"additive children add up to the limit", RampSprite([](TSprite& s) {
             std::shared_ptr<TSprite> child = TSprite::Create(-1, Ramp());
             child->SetFlags(DrawState::kUseOrigin);
             child->SetBlendMode(kBlendAdditiveAlpha);
             s.AddChild(child);
         }),
         21, 21, 2 * 53, true},
        {"a child on its own", RampSprite([](TSprite& s) {
             std::shared_ptr<TSprite> child = TSprite::Create(1, Ramp());
             child->SetFlags(DrawState::kUseOrigin);
             child->SetPosition(TVec2(10, 0));
             s.AddChild(child);
         }),
         31, 20, 255, true},
    };
    for (const THitCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<TSprite> sprite = c.make();
        EXPECT_EQ(sprite->HitTest(TVec2(c.x, c.y), parent, c.minAlpha), c.hit);
    }
}

TEST_F(PixelHitTest, AnimatedSpritesAnswerForTheirCurrentFrame)
{
    // Frame 0 spans (20, 20) - (28, 28), opaque above y 24; frame 1 (17, 18) - (23, 22),
    // opaque left of x 20.
    const DrawState parent(TVec2(20, 20));
    const struct
    {
        int frame;
        float x, y;
        int minAlpha;
        bool hit;
    } cases[] = {
        {0, 22, 22, 255, true}, {0, 22, 25, 1, false}, {0, 18, 19, 0, false},
        {1, 18, 19, 255, true}, {1, 21, 19, 1, false}, {1, 22, 25, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "frame " << c.frame << " at " << c.x << "," << c.y);
        EXPECT_EQ(Animated(c.frame)->HitTest(TVec2(c.x, c.y), parent, c.minAlpha), c.hit);
    }
}

// Every point of a grid over the sprite's box and a pixel around it is hit at exactly the
// alpha that drawing the sprite gives its pixel: minAlpha that alpha hits, one more does
// not. Returns the points that answered otherwise.
std::vector<std::string> Disagreements(TSprite& sprite, const DrawState& parent)
{
    TRect box;
    sprite.GetBounds(box, parent);
    std::vector<std::string> wrong;
    for (float y = float(box.top) - 1.3f; y < float(box.bottom) + 1; y += 0.7f)
        for (float x = float(box.left) - 1.2f; x < float(box.right) + 1; x += 0.6f) {
            const TVec2 point(x, y);
            const int alpha = RenderedAlpha(sprite, point, parent);
            const bool inBox = box.left <= x && x < box.right && box.top <= y && y < box.bottom;
            const bool atAlpha = sprite.HitTest(point, parent, alpha);
            const bool above = alpha < 255 && sprite.HitTest(point, parent, alpha + 1);
            if (atAlpha != inBox || above)
                wrong.push_back(std::to_string(x) + "," + std::to_string(y) + " drawn " +
                                std::to_string(alpha));
        }
    return wrong;
}

std::shared_ptr<TSprite> Child(const std::shared_ptr<TSprite>& parent,
                               std::shared_ptr<TTexture> texture, int layer,
                               std::optional<TBlendMode> blendMode, const TMat3& matrix)
{
    std::shared_ptr<TSprite> child = TSprite::Create(layer, std::move(texture));
    if (blendMode)
        child->SetBlendMode(*blendMode);
    child->SetMatrix(matrix);
    parent->AddChild(child);
    return child;
}

TMat3 Turned(float angle, float scale, float x, float y)
{
    TMat3 matrix = TMat3::Rotation(angle);
    for (int row = 0; row < 2; ++row) {
        matrix.Row(row).x *= scale;
        matrix.Row(row).y *= scale;
    }
    matrix.Row(2).x = x;
    matrix.Row(2).y = y;
    return matrix;
}

TEST_F(PixelHitTest, AnswersAsDrawingTheSpriteWould)
{
    const DrawState parent(TVec2(30, 30));
    struct TSetUp
    {
        const char* what;
        std::function<std::shared_ptr<TSprite>()> make;
    };
    const TSetUp setUps[] = {
        {"turned and enlarged",
         [] {
             std::shared_ptr<TSprite> s = TSprite::Create(0, Ramp());
             s->SetMatrix(Turned(0.5f, 1.7f, 0, 0));
             return s;
         }},
        {"mirrored both ways, turned back and shrunk",
         [] {
             std::shared_ptr<TSprite> s = TSprite::Create(0, Ramp());
             s->SetMatrix(Turned(-1.1f, 0.6f, 0.25f, -0.4f));
             s->SetFlags(DrawState::kMirrorX | DrawState::kMirrorY);
             return s;
         }},
        {"part of the picture around an origin, between pixels",
         [] {
             std::shared_ptr<TSprite> s = TSprite::Create(0, Ramp());
             s->SetFlags(DrawState::kMirrorX | DrawState::kUseSourceRect | DrawState::kUseOrigin);
             s->SetSourceRect(TRect(2, 1, 7, 6));
             s->SetOrigin(TVec2(2.5f, 1));
             s->SetPosition(TVec2(0.3f, -0.3f));
             return s;
         }},
        {"without alpha channel",
         [] {
             std::shared_ptr<TSprite> s =
                 TSprite::Create(0, TextureOf(3, 2, false, std::vector<uint32_t>(6, 0u)));
             s->SetMatrix(Turned(2.0f, 3.0f, 0, 0));
             return s;
         }},
        {"children in every blend mode",
         [] {
             std::shared_ptr<TSprite> s = TSprite::Create(0, Ramp());
             s->SetAlpha(0.6f);
             Child(s, Ramp(), -2, kBlendOpaque, Turned(0.3f, 1.2f, -3, 1));
             Child(s, Ramp(), -1, kBlendAdditiveAlpha, Turned(1.0f, 0.8f, 2, 2));
             Child(s, Ramp(), 1, kBlendMultiplicative, Turned(-0.4f, 1.1f, 1, -2));
             Child(s, Ramp(), 2, std::nullopt, Turned(3.0f, 1, 0, 0)); // multiplies as well
             Child(s, Ramp(), 3, kBlendSubtractive, Turned(0.2f, 0.9f, 4, 0))->SetAlpha(0.3f);
             Child(s, Ramp(), 4, std::nullopt, Turned(2.0f, 0.7f, -2, 3)); // subtracts
             Child(s, Ramp(), 5, kBlendNormal, Turned(0.7f, 0.5f, 0, 5))->SetVisible(false);
             return s;
         }},
    };
    const char* options[][2] = {{"0", "0"}, {"1", "0"}, {"0", "1"}, {"1", "1"}};
    for (const auto& option : options) {
        TRenderer::Get()->SetOption("new_render_blend", option[0]);
        TRenderer::Get()->SetOption("new_subtractive", option[1]);
        for (const TSetUp& setUp : setUps) {
            SCOPED_TRACE(testing::Message() << setUp.what << ", new_render_blend " << option[0]
                                            << ", new_subtractive " << option[1]);
            std::shared_ptr<TSprite> sprite = setUp.make();
            const std::vector<std::string> wrong = Disagreements(*sprite, parent);
            EXPECT_TRUE(wrong.empty()) << wrong.size() << " points, first " << wrong.front();
        }
    }
    for (int frame : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "frame " << frame);
        std::shared_ptr<TSprite> sprite = Animated(frame);
        sprite->SetMatrix(Turned(0.9f, 1.5f, 0, 0));
        const std::vector<std::string> wrong = Disagreements(*sprite, parent);
        EXPECT_TRUE(wrong.empty()) << wrong.size() << " points, first " << wrong.front();
    }
}

class PixelHitEngineTest : public DisplayEngineTest
{
};

TEST_F(PixelHitEngineTest, AHitTestAsksForNoRedraw)
{
    static int sInvalidations = 0;
    TEngineSeams::Factories().windowManager = [] {
        return std::make_unique<TStandInWindows>([] { ++sInvalidations; });
    };
    int hits = 0;
    int invalidations = -1;
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        std::shared_ptr<TSprite> sprite = RampSprite()();
        const DrawState parent(TVec2(20, 20));
        sInvalidations = 0;
        for (int x = 18; x < 30; ++x)
            hits += sprite->HitTest(TVec2(float(x), 21), parent, 1) ? 1 : 0;
        invalidations = sInvalidations;
    });
    EXPECT_EQ(hits, 7); // columns 0 to 6 of the ramp
    EXPECT_EQ(invalidations, 0);
}

class PixelHitWithoutDisplayTest : public EngineStateTest
{
};

TEST_F(PixelHitWithoutDisplayTest, AnswersWithoutMakingADisplay)
{
    ASSERT_EQ(TDxDisplayHandler::Get(), nullptr);
    std::shared_ptr<TSprite> sprite = RampSprite()();
    const DrawState parent(TVec2(20, 20));
    EXPECT_TRUE(sprite->HitTest(TVec2(23, 24), parent, 122));
    EXPECT_FALSE(sprite->HitTest(TVec2(23, 24), parent, 123));
    EXPECT_FALSE(sprite->HitTest(TVec2(27, 24), parent, 1));
    EXPECT_EQ(TDxDisplayHandler::Get(), nullptr);
}

} // namespace
