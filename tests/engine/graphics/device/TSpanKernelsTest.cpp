#include "engine/graphics/device/TSpanKernels.h"

#include "engine/graphics/device/PixelMath.h"
#include "engine/graphics/device/TSpanBlender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// Every build of the kernels this machine runs (the baseline, and AVX2 where it has it).
std::vector<const TSpanKernels*> Builds()
{
    std::vector<const TSpanKernels*> builds = {&TSpanKernels::Baseline()};
    if (const TSpanKernels* avx2 = TSpanKernels::Avx2())
        builds.push_back(avx2);
    return builds;
}

std::vector<uint32_t> RandomPixels(std::mt19937& random, size_t count)
{
    std::vector<uint32_t> pixels(count);
    for (uint32_t& pixel : pixels) {
        pixel = static_cast<uint32_t>(random());
        if (random() % 3 == 0)
            pixel |= 0xFF000000u; // runs of opaque and transparent pixels, as sprites have
        else if (random() % 3 == 0)
            pixel &= 0x00FFFFFFu;
    }
    return pixels;
}

TEST(TSpanKernels, EveryBuildGivesThePerPixelBytes)
{
    std::mt19937 random(3);
    for (const TSpanKernels* kernels : Builds()) {
        SCOPED_TRACE(kernels->name);
        for (int round = 0; round < 300; ++round) {
            // Lengths around the step widths, so every tail is met.
            const int count = 1 + round % 37;
            const std::vector<uint32_t> a = RandomPixels(random, 600);
            const std::vector<uint32_t> b = RandomPixels(random, 600);
            std::vector<uint32_t> out(static_cast<size_t>(count) + 1, 0xDEADBEEFu);

            // Blending: every kind against the general rule with the same states.
            const TBlend pairs[6][2] = {
                {TBlend::One, TBlend::Zero},         {TBlend::SrcAlpha, TBlend::InvSrcAlpha},
                {TBlend::SrcAlpha, TBlend::One},     {TBlend::Zero, TBlend::SrcColor},
                {TBlend::Zero, TBlend::InvSrcColor}, {TBlend::One, TBlend::One}};
            for (int kind = 0; kind < 6; ++kind) {
                TDeviceState state;
                state.alphaBlendEnable = kind != 0;
                state.srcBlend = pairs[kind][0];
                state.destBlend = pairs[kind][1];
                state.alphaRef = static_cast<uint8_t>(round % 2 ? random() % 256 : 1);
                TSpanBlender rule;
                ASSERT_TRUE(rule.Configure(state));
                const uint32_t andMask = round % 5 == 0 ? 0x00FFFFFFu : 0xFFFFFFFFu;
                const uint32_t orMask = round % 7 == 0 ? 0xFF000000u : 0u;
                std::vector<uint32_t> dst(b.begin(), b.begin() + count);
                kernels->blend[kind](dst.data(), a.data(), count, andMask, orMask, state.alphaRef);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(dst[size_t(i)],
                              rule.BlendGeneral((a[size_t(i)] & andMask) | orMask, b[size_t(i)]))
                        << "kind " << kind << " pixel " << i;
            }

            const uint32_t texelOr = round % 2 ? 0xFF000000u : 0u;
            kernels->modulateByColor(a.data(), texelOr, b[0], count, out.data());
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(out[size_t(i)], ModulatePixel(a[size_t(i)] | texelOr, b[0]));
            kernels->modulateByColors(a.data(), texelOr, b.data(), count, out.data());
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(out[size_t(i)], ModulatePixel(a[size_t(i)] | texelOr, b[size_t(i)]));

            const uint32_t weight = static_cast<uint32_t>(random() % 128);
            kernels->downRow(a.data(), b.data(), weight, count, out.data());
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(out[size_t(i)], MixTexels(a[size_t(i)], b[size_t(i)], weight));

            // One texel a pixel along a row pair, inside the rows or over their ends
            // (clamped), the rows ending right after their last texel.
            const int columns = 1 + static_cast<int>(random() % 60);
            const int column = static_cast<int>(random() % (columns + 30)) - 15;
            const std::vector<uint32_t> top(a.begin(), a.begin() + columns);
            const std::vector<uint32_t> bottom(b.begin(), b.begin() + columns);
            const uint32_t fx = static_cast<uint32_t>(random() % 128);
            kernels->linearRowOne(top.data(), bottom.data(), columns, column, fx, weight, count,
                                  out.data());
            for (int i = 0; i < count; ++i) {
                const auto clamped = [columns](int c) {
                    return static_cast<size_t>(std::clamp(c, 0, columns - 1));
                };
                const size_t left = clamped(column + i), right = clamped(column + i + 1);
                ASSERT_EQ(out[size_t(i)], LinearTexels(top[left], top[right], bottom[left],
                                                       bottom[right], fx, weight))
                    << "pixel " << i << " of " << count << " from column " << column << " of "
                    << columns;
            }

            // Stepping across a row of 600 columns from column 100, scaled either way (the
            // AVX2 build loads nearby columns whole and gathers far ones).
            const int64_t ds = static_cast<int64_t>(random() % 400000) - 200000; // to 3 texels
            const int64_t s = 300 * 65536 + static_cast<int64_t>(random() % 65536);
            kernels->acrossRowStepping(a.data(), 100, s, ds, count, out.data());
            for (int i = 0; i < count; ++i) {
                const int64_t si = s + i * ds;
                const size_t at = static_cast<size_t>((si >> 16) - 100);
                ASSERT_EQ(out[size_t(i)], MixTexels(a[at], a[at + 1], TexelWeight(si)));
            }

            // Rotated sampling in a texture held in a (rows of 24, up to 24 x 24), inside
            // it and over its edges (clamped).
            const int width = 2 + static_cast<int>(random() % 23);
            const int height = 2 + static_cast<int>(random() % 23);
            const std::vector<uint32_t> texture(a.begin(), a.begin() + (height - 1) * 24 + width);
            const auto near = [&](int size) {
                return static_cast<int64_t>(random() % (size + 8)) * 65536 - 4 * 65536 +
                       static_cast<int64_t>(random() % 65536);
            };
            const int64_t rs = near(width), rt = near(height);
            const int64_t rds = static_cast<int64_t>(random() % 40000) - 20000;
            const int64_t rdt = static_cast<int64_t>(random() % 40000) - 20000;
            kernels->linearClamped(texture.data(), 24, width, height, rs, rt, rds, rdt, count,
                                   out.data());
            for (int i = 0; i < count; ++i) {
                const int64_t si = rs + i * rds, ti = rt + i * rdt;
                const auto clamped = [](int64_t c, int size) {
                    return static_cast<size_t>(std::clamp<int64_t>(c, 0, size - 1));
                };
                const size_t left = clamped(si >> 16, width),
                             right = clamped((si >> 16) + 1, width);
                const size_t top = clamped(ti >> 16, height) * 24;
                const size_t bottom = clamped((ti >> 16) + 1, height) * 24;
                ASSERT_EQ(out[size_t(i)],
                          LinearTexels(texture[top + left], texture[top + right],
                                       texture[bottom + left], texture[bottom + right],
                                       TexelWeight(si), TexelWeight(ti)))
                    << "pixel " << i << " of " << count << " in " << width << " x " << height;
            }
            ASSERT_EQ(out[size_t(count)], 0xDEADBEEFu); // nothing written past the span
        }
    }
}

TEST(TSpanKernels, TheProcessorCheckPicksTheBuildTheProcessorRuns)
{
    // Without AVX2, the baseline whatever was built; with it, the AVX2 build where there
    // is one (every x86 build).
    EXPECT_EQ(&TSpanKernels::For(false), &TSpanKernels::Baseline());
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_STREQ(TSpanKernels::For(true).name, "AVX2");
#else
    EXPECT_EQ(&TSpanKernels::For(true), &TSpanKernels::Baseline());
    EXPECT_FALSE(TSpanKernels::ProcessorHasAvx2());
#endif
    EXPECT_EQ(&TSpanKernels::Get(), &TSpanKernels::For(TSpanKernels::ProcessorHasAvx2()));
    EXPECT_EQ(TSpanKernels::Avx2() != nullptr, &TSpanKernels::Get() != &TSpanKernels::Baseline());
}

TEST(TSpanKernels, LinearFilteringWeighsEachChannelWithSevenBits)
{
    std::mt19937 random(5);
    for (int round = 0; round < 20000; ++round) {
        const uint32_t a = static_cast<uint32_t>(random());
        const uint32_t b = static_cast<uint32_t>(random());
        const uint32_t w = static_cast<uint32_t>(random() % 128);
        uint32_t expected = 0;
        for (int shift = 0; shift < 32; shift += 8)
            expected |= ((Channel(a, shift) * (128 - w) + Channel(b, shift) * w + 64) >> 7)
                        << shift;
        ASSERT_EQ(MixTexels(a, b, w), expected) << std::hex << a << " " << b << " " << w;
    }
    EXPECT_EQ(TexelWeight(0x12345), 0x11u); // the fraction's top seven bits
    EXPECT_EQ(TexelWeight(0x1FFFF), 0x7Fu);
}

} // namespace
