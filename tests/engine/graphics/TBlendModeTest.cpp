#include "engine/graphics/TBlendMode.h"

#include "RendererTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Channels as numbers 0..1, in the order alpha, red, green, blue.
struct TValue
{
    double c[4];
};

TValue Unpack(uint32_t pixel)
{
    return {{(pixel >> 24) / 255.0, ((pixel >> 16) & 0xFF) / 255.0, ((pixel >> 8) & 0xFF) / 255.0,
             (pixel & 0xFF) / 255.0}};
}

// Where the pixel is drawn: the screen, a colour render target (mode 1, which keeps the
// alpha the blend wrote), or an alpha target (mode 4).
enum class TWhere
{
    Screen,
    ColorTarget,
    AlphaTarget,
};

struct TCase
{
    TBlendMode mode;
    TWhere where;
    bool newSubtractive;
    bool newRenderBlend;
    bool textured;
    uint32_t texel;
};

// The diffuse colour drawn: BuildQuad of colour (1, 0.5, 0.25) and alpha 0.75.
constexpr uint32_t kDiffuse = 0xBFFF7F3Fu;
// The destination on the screen, and the grey drawn first into an alpha target.
constexpr uint32_t kScreenDestination = 0xFF2060A0u;
constexpr uint32_t kTargetGrey = 0x3Fu;

// What the blend modes are meant to give, per the table of the states they select: on
// the screen (or a colour target) the whole pixel, in an alpha target the grey level.
TValue Expected(const TCase& c)
{
    const TValue t = c.textured ? Unpack(c.texel) : TValue{{1, 1, 1, 1}};
    const TValue d = Unpack(kDiffuse);
    if (c.where == TWhere::AlphaTarget) {
        const double cd = kTargetGrey / 255.0;
        const double ta = c.textured ? t.c[0] : 1.0;
        const double grey = c.newRenderBlend ? ta * d.c[0] : (c.textured ? ta : d.c[0]);
        double result = grey;
        switch (c.mode) {
        case kBlendNormal:
        case kBlendAdditiveAlpha:
            result = std::min(1.0, grey + cd);
            break;
        case kBlendSubtractive:
            if (c.newSubtractive) {
                // The factor (white) as argument 1, with the operation the previous call
                // left: a textured bind set modulate with the diffuse alpha.
                const double kept = c.newRenderBlend && c.textured ? d.c[0] : 1.0;
                result = std::min(1.0, kept + cd);
            }
            break;
        case kBlendMultiplicative:
            result = cd * grey;
            break;
        default:
            break;
        }
        return {{result, result, result, result}};
    }
    const TValue cd = Unpack(kScreenDestination);
    TValue cs;
    for (int i = 1; i < 4; ++i)
        cs.c[i] = t.c[i] * d.c[i];
    const bool fixedAlpha =
        c.mode == kBlendOpaque || (c.mode == kBlendSubtractive && c.newSubtractive);
    cs.c[0] = fixedAlpha ? 1.0 : t.c[0] * d.c[0];
    const double as = cs.c[0];
    if (std::lround(as * 255.0) == 0)
        return cd; // the alpha test drops the pixel
    TValue out;
    for (int i = 0; i < 4; ++i) {
        switch (c.mode) {
        case kBlendNormal:
            out.c[i] = cs.c[i] * as + cd.c[i] * (1 - as);
            break;
        case kBlendOpaque:
            out.c[i] = cs.c[i];
            break;
        case kBlendAdditiveAlpha:
            out.c[i] = std::min(1.0, cs.c[i] * as + cd.c[i]);
            break;
        case kBlendSubtractive:
            out.c[i] = cd.c[i] * (1 - cs.c[i]);
            break;
        default:
            out.c[i] = cd.c[i] * cs.c[i];
            break;
        }
    }
    return out;
}

// Draws the case's pixel at (1, 1) and answers the screen pixel, the colour target's
// texel, or in an alpha target the texture's alpha byte (checking that its colour bytes
// stayed).
uint32_t Draw(const TCase& c)
{
    TTestDisplay display(4, 4);
    TRenderer& renderer = *display.renderer;
    renderer.SetOption("new_render_blend", c.newRenderBlend ? "1" : "0");
    renderer.SetOption("new_subtractive", c.newSubtractive ? "1" : "0");
    const std::shared_ptr<TTexture> texture = TextureOf(1, 1, true, {c.texel});
    const bool alphaTarget = c.where == TWhere::AlphaTarget;
    std::shared_ptr<TTexture> target;
    if (c.where == TWhere::Screen) {
        display.BackBuffer().At(1, 1) = kScreenDestination;
        EXPECT_TRUE(renderer.BeginDraw(false));
    } else {
        // A colour target draws over what the back buffer holds.
        display.BackBuffer().At(1, 1) = kScreenDestination;
        target = TextureOf(4, 4, true, std::vector<uint32_t>(16, 0x00123456u));
        EXPECT_TRUE(renderer.BeginRenderTarget(target, alphaTarget ? TRenderTargetMode::Alpha
                                                                   : TRenderTargetMode::KeepAlpha));
    }
    renderer.Begin2d();
    if (alphaTarget) {
        renderer.SetBlendMode(kBlendOpaque);
        DrawQuad(1, 1, 2, 2, TColor(1, 1, 1, 1), 0.25f); // the grey already there
    }
    renderer.SetTexture(c.textured ? texture : nullptr);
    renderer.SetBlendMode(c.mode);
    DrawQuad(1, 1, 2, 2, TColor(1, 0.5f, 0.25f, 1), 0.75f);
    renderer.End2d();
    if (c.where == TWhere::Screen) {
        renderer.EndDraw(false);
        return display.BackBuffer().At(1, 1);
    }
    renderer.EndRenderTarget();
    uint32_t* pixels = nullptr;
    int pitch = 0;
    target->Lock(pixels, pitch);
    const uint32_t texel = pixels[pitch + 1];
    target->Unlock();
    if (!alphaTarget)
        return texel;
    EXPECT_EQ(texel & 0x00FFFFFFu, 0x00123456u);
    const uint32_t alpha = texel >> 24;
    return alpha * 0x01010101u;
}

// The renderer is process-wide.
using TBlendModeTest = EngineStateTest;

TEST_F(TBlendModeTest, EachModeOnTheScreenAndInTargetsFollowsItsStates)
{
    // An ordinary texel and one of alpha 0 (which the alpha test drops where the alpha
    // comes from the texture).
    for (uint32_t texel : {0xC080FF20u, 0x0080FF20u})
        for (TBlendMode mode : {kBlendNormal, kBlendOpaque, kBlendAdditiveAlpha, kBlendSubtractive,
                                kBlendMultiplicative})
            for (TWhere where : {TWhere::Screen, TWhere::ColorTarget, TWhere::AlphaTarget})
                for (bool newSubtractive : {false, true})
                    for (bool newRenderBlend : {true, false})
                        for (bool textured : {true, false}) {
                            const TCase c{mode,           where,    newSubtractive,
                                          newRenderBlend, textured, texel};
                            const TValue expected = Expected(c);
                            const TValue drawn = Unpack(Draw(c));
                            for (int i = 0; i < 4; ++i)
                                EXPECT_NEAR(drawn.c[i] * 255.0, expected.c[i] * 255.0, 1.01)
                                    << "mode " << mode << " where " << static_cast<int>(where)
                                    << " new_subtractive " << newSubtractive << " new_render_blend "
                                    << newRenderBlend << (textured ? " textured" : " untextured")
                                    << std::hex << " texel " << texel << " channel " << i;
                        }
}

TEST_F(TBlendModeTest, AnAlphaTargetKeepsTheStageStatesThePreviousCallLeft)
{
    TTestDisplay display(4, 4);
    TRenderer& renderer = *display.renderer;
    renderer.SetOption("new_render_blend", "1");
    renderer.SetOption("new_subtractive", "1");
    const std::shared_ptr<TTexture> target = TTexture::Create(4, 4, true);
    ASSERT_TRUE(renderer.BeginRenderTarget(target, TRenderTargetMode::Alpha));
    renderer.Begin2d();
    renderer.SetTexture(TTexture::Create(1, 1, true));
    renderer.SetBlendMode(kBlendSubtractive);
    const TDeviceState& state = display.handler->GetDevice().State();
    EXPECT_EQ(state.colorArg1.source, TArgSource::TFactor);
    EXPECT_EQ(state.colorOp, TTextureOp::Modulate); // left by the textured bind
    EXPECT_EQ(state.colorArg2, (TStageArg{TArgSource::Diffuse, true}));
    renderer.SetTexture(nullptr); // unbinding re-applies mode 3 over the untextured states
    EXPECT_EQ(state.colorArg1.source, TArgSource::TFactor);
    EXPECT_EQ(state.colorOp, TTextureOp::Modulate);
    renderer.SetBlendMode(kBlendNormal);
    EXPECT_EQ(state.colorArg1, (TStageArg{TArgSource::Diffuse, true}));
    EXPECT_EQ(state.colorOp, TTextureOp::SelectArg1);
    // A number outside 0..4 (which no binding lets through): no blend state, stage states
    // still applied.
    renderer.SetBlendMode(static_cast<TBlendMode>(7));
    EXPECT_EQ(state.srcBlend, TBlend::SrcAlpha);
    EXPECT_EQ(state.destBlend, TBlend::One);
    EXPECT_EQ(state.alphaArg1.source, TArgSource::TFactor);
    renderer.End2d();
    renderer.EndRenderTarget();
}

} // namespace
