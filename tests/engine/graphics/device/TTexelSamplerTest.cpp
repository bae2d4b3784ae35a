#include "engine/graphics/device/TTexelSampler.h"

#include "engine/graphics/device/TSurface.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int64_t kOne = TTexelSampler::kOne;

int64_t Fixed(double texels)
{
    return static_cast<int64_t>(texels * kOne);
}

// 4 x 2 texels numbered 0x01..0x08 in every channel (row 1 adds 4).
TSurface Numbered()
{
    TSurface surface(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            surface.At(x, y) = 0x01010101u * static_cast<uint32_t>(1 + x + 4 * y);
    return surface;
}

uint32_t SampleOne(const TTexelSampler& sampler, TFilter filter, TAddress address, double s,
                   double t)
{
    uint32_t out = 0;
    return *sampler.Sample(filter, address, address, Fixed(s), Fixed(t), 0, 0, 1, &out);
}

TEST(TTexelSampler, PointTakesTheTexelHoldingTheCoordinate)
{
    const TSurface surface = Numbered();
    TTexelSampler sampler;
    sampler.Bind(&surface, true);
    struct Case
    {
        double s, t;
        TAddress address;
        uint32_t texel;
    };
    const Case cases[] = {
        {0.0, 0.0, TAddress::Clamp, 1},   {0.99, 0.99, TAddress::Clamp, 1},
        {1.0, 0.5, TAddress::Clamp, 2},   {3.5, 1.5, TAddress::Clamp, 8},
        {-0.01, 0.5, TAddress::Clamp, 1}, {9.0, 7.0, TAddress::Clamp, 8},
        {4.5, 0.5, TAddress::Wrap, 1},    {-0.5, 0.5, TAddress::Wrap, 4},
        {-4.5, 2.5, TAddress::Wrap, 4},   {6.2, -0.2, TAddress::Wrap, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleOne(sampler, TFilter::Point, c.address, c.s, c.t), 0x01010101u * c.texel)
            << c.s << "," << c.t;
}

TEST(TTexelSampler, LinearWeighsChannelsOnTheirOwn)
{
    TSurface surface(2, 2);
    surface.At(0, 0) = 0x00FF0000u;
    surface.At(1, 0) = 0xFF00FF00u;
    surface.At(0, 1) = 0xFF00FF00u;
    surface.At(1, 1) = 0x00FF00FFu;
    TTexelSampler sampler;
    sampler.Bind(&surface, true);
    struct Case
    {
        double s, t;
        uint32_t result;
    };
    const Case cases[] = {
        {0.5, 0.5, 0x00FF0000u}, // texel centres read exactly
        {1.5, 1.5, 0x00FF00FFu},
        {1.0, 0.5, 0x80808000u},  // half way across: (255 * 64 + 64) >> 7 = 128
        {0.75, 0.5, 0x40BF4000u}, // a quarter across: 64 and 191
        {1.0, 1.0, 0x80808040u},  // the middle of all four: down first (128), then across
        {-3.0, 0.5, 0x00FF0000u}, // clamped to the edge texel
        {0.5, 9.0, 0xFF00FF00u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleOne(sampler, TFilter::Linear, TAddress::Clamp, c.s, c.t), c.result)
            << std::hex << c.s << "," << c.t;
}

TEST(TTexelSampler, OneToOneSpansReadTheSurfaceInPlace)
{
    const TSurface surface = Numbered();
    TTexelSampler sampler;
    sampler.Bind(&surface, false);
    EXPECT_EQ(sampler.TexelOr(), 0xFF000000u);
    uint32_t out[4] = {};
    for (TFilter filter : {TFilter::Point, TFilter::Linear}) {
        const uint32_t* texels = sampler.Sample(filter, TAddress::Clamp, TAddress::Clamp,
                                                Fixed(1.5), Fixed(1.5), kOne, 0, 3, out);
        EXPECT_EQ(texels, surface.Row(1) + 1);
    }
    // Off the texel centres linear filtering weighs; past the edge it clamps.
    EXPECT_EQ(sampler.Sample(TFilter::Linear, TAddress::Clamp, TAddress::Clamp, Fixed(1.25),
                             Fixed(0.5), kOne, 0, 3, out),
              out);
    EXPECT_EQ(sampler.Sample(TFilter::Point, TAddress::Clamp, TAddress::Clamp, Fixed(2.5),
                             Fixed(0.5), kOne, 0, 3, out),
              out);
    EXPECT_EQ(out[0], 0x03030303u);
    EXPECT_EQ(out[2], 0x04040404u);
}

TEST(TTexelSampler, EverySpanPathGivesThePerPixelBytes)
{
    std::mt19937 random(11);
    TSurface surface(37, 23);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            surface.At(x, y) = static_cast<uint32_t>(random());
    TTexelSampler sampler;
    sampler.Bind(&surface, true);
    const auto fixed = [&](double low, double high) {
        return static_cast<int64_t>(std::uniform_real_distribution<double>(low, high)(random) *
                                    kOne);
    };
    for (int round = 0; round < 3000; ++round) {
        // Spans along rows (one texel a pixel, scaled, mirrored) and across the texture
        // (rotated), inside it and over its edges.
        int64_t ds = 0, dt = 0;
        switch (round % 5) {
        case 0:
            ds = kOne;
            break;
        case 1:
            ds = fixed(0.3, 2.5);
            break;
        case 2:
            ds = -fixed(0.3, 2.5);
            break;
        default:
            ds = fixed(-1.5, 1.5);
            dt = fixed(-1.5, 1.5);
            break;
        }
        const int64_t s = fixed(-3, 40), t = fixed(-3, 26);
        const int count = 1 + static_cast<int>(random() % 64);
        const TFilter filter = round % 7 == 0 ? TFilter::Point : TFilter::Linear;
        const TAddress address = round % 3 == 0 ? TAddress::Wrap : TAddress::Clamp;
        uint32_t out[128];
        const uint32_t* texels = sampler.Sample(filter, address, address, s, t, ds, dt, count, out);
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(texels[i],
                      sampler.SampleOne(filter, address, address, s + i * ds, t + i * dt))
                << "round " << round << " pixel " << i;
    }
}

} // namespace
