#include "engine/graphics/device/TSpanBlender.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TDeviceState Blending(bool enable, TBlend src, TBlend dest, TCompare func, uint8_t ref)
{
    TDeviceState state;
    state.alphaBlendEnable = enable;
    state.srcBlend = src;
    state.destBlend = dest;
    state.alphaTestEnable = true;
    state.alphaFunc = func;
    state.alphaRef = ref;
    return state;
}

TEST(TSpanBlender, EveryKernelGivesTheBytesOfTheGeneralRule)
{
    using TKind = TBlendKind;
    struct Case
    {
        bool enable;
        TBlend src, dest;
        TKind kind;
    };
    const Case cases[] = {
        {false, TBlend::One, TBlend::Zero, TKind::Copy},
        {true, TBlend::SrcAlpha, TBlend::InvSrcAlpha, TKind::Normal},
        {true, TBlend::SrcAlpha, TBlend::One, TKind::Add},
        {true, TBlend::Zero, TBlend::SrcColor, TKind::Multiply},
        {true, TBlend::Zero, TBlend::InvSrcColor, TKind::Subtract},
        {true, TBlend::One, TBlend::One, TKind::AddOne},
        {true, TBlend::One, TBlend::Zero, TKind::Copy},
        {true, TBlend::SrcColor, TBlend::InvSrcAlpha, TKind::General},
    };
    std::mt19937 random(7);
    const auto pixel = [&] {
        // Often fully opaque or transparent, as sprites are.
        const uint32_t value = static_cast<uint32_t>(random());
        switch (random() % 4) {
        case 0:
            return value | 0xFF000000u;
        case 1:
            return value & 0x00FFFFFFu;
        default:
            return value;
        }
    };
    for (const Case& c : cases) {
        for (int round = 0; round < 200; ++round) {
            const uint8_t ref = round % 3 == 0 ? 0 : static_cast<uint8_t>(random() % 256);
            const TCompare func = round % 2 ? TCompare::GreaterEqual : TCompare::Always;
            TSpanBlender blender;
            if (!blender.Configure(Blending(c.enable, c.src, c.dest, func, ref)))
                continue;
            ASSERT_EQ(blender.GetKind(), c.kind);
            const int count = 1 + static_cast<int>(random() % 40);
            const uint32_t andMask = round % 5 == 0 ? 0x00FFFFFFu : 0xFFFFFFFFu;
            const uint32_t orMask = round % 7 == 0 ? 0xFF000000u : 0u;
            std::vector<uint32_t> src(static_cast<size_t>(count));
            std::vector<uint32_t> dst(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) {
                src[static_cast<size_t>(i)] = pixel();
                dst[static_cast<size_t>(i)] = pixel();
            }
            std::vector<uint32_t> blended = dst;
            blender.Blend(blended.data(), src.data(), count, andMask, orMask);
            for (int i = 0; i < count; ++i) {
                const size_t k = static_cast<size_t>(i);
                ASSERT_EQ(blended[k], blender.BlendGeneral((src[k] & andMask) | orMask, dst[k]))
                    << std::hex << "src " << src[k] << " dst " << dst[k] << " ref " << int(ref);
            }
        }
    }
}

TEST(TSpanBlender, TheGeneralRuleRoundsAndClampsEachChannel)
{
    struct Case
    {
        bool enable;
        TBlend src, dest;
        uint32_t s, d, result;
    };
    const Case cases[] = {
        // Half-transparent red over opaque blue: 255 * 128 / 255 and 255 * 127 / 255;
        // alpha (128 * 128 + 255 * 127) / 255 = 191.25.
        {true, TBlend::SrcAlpha, TBlend::InvSrcAlpha, 0x80FF0000u, 0xFF0000FFu, 0xBF80007Fu},
        {true, TBlend::SrcAlpha, TBlend::One, 0x80FF0000u, 0xFFC000FFu, 0xFFFF00FFu},
        {true, TBlend::Zero, TBlend::SrcColor, 0x80FF4000u, 0xFF808080u, 0x80802000u},
        {true, TBlend::Zero, TBlend::InvSrcColor, 0xFF00C0FFu, 0xFF808080u, 0x00802000u},
        {true, TBlend::One, TBlend::One, 0x80C01000u, 0x80C02000u, 0xFFFF3000u},
        {false, TBlend::Zero, TBlend::Zero, 0x12345678u, 0xFFFFFFFFu, 0x12345678u},
    };
    for (const Case& c : cases) {
        TSpanBlender blender;
        ASSERT_TRUE(blender.Configure(Blending(c.enable, c.src, c.dest, TCompare::Always, 0)));
        EXPECT_EQ(blender.BlendGeneral(c.s, c.d), c.result) << std::hex << c.s << " " << c.d;
    }
}

TEST(TSpanBlender, TheAlphaTestComparesWithTheReference)
{
    struct Case
    {
        TCompare func;
        bool below, equal, above; // alpha 99, 100, 101 against reference 100
    };
    const Case cases[] = {
        {TCompare::Never, false, false, false},      {TCompare::Less, true, false, false},
        {TCompare::Equal, false, true, false},       {TCompare::LessEqual, true, true, false},
        {TCompare::Greater, false, false, true},     {TCompare::NotEqual, true, false, true},
        {TCompare::GreaterEqual, false, true, true}, {TCompare::Always, true, true, true},
    };
    for (const Case& c : cases) {
        TSpanBlender blender;
        const bool any = blender.Configure(Blending(false, TBlend::One, TBlend::Zero, c.func, 100));
        EXPECT_EQ(any, c.func != TCompare::Never);
        const uint32_t src[3] = {0x63010101u, 0x64020202u, 0x65030303u};
        uint32_t dst[3] = {7, 7, 7};
        blender.Blend(dst, src, any ? 3 : 0, 0xFFFFFFFFu, 0);
        EXPECT_EQ(dst[0], c.below ? src[0] : 7u);
        EXPECT_EQ(dst[1], c.equal ? src[1] : 7u);
        EXPECT_EQ(dst[2], c.above ? src[2] : 7u);
    }
    // A disabled test keeps every pixel.
    TDeviceState state = Blending(false, TBlend::One, TBlend::Zero, TCompare::Never, 0);
    state.alphaTestEnable = false;
    TSpanBlender blender;
    EXPECT_TRUE(blender.Configure(state));
    EXPECT_EQ(blender.BlendGeneral(0x00112233u, 5u), 0x00112233u);
}

} // namespace
