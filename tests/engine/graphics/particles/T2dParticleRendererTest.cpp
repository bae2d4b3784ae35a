#include "engine/graphics/particles/T2dParticleRenderer.h"

#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "tests/engine/graphics/RendererTestSupport.h"
#include "tests/engine/graphics/anim/AnimationTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

using TRecord = std::array<float, T2dParticleRenderer::kAttributeCount>;

constexpr int kWidth = 96;
constexpr int kHeight = 64;
constexpr uint32_t kBackground = 0xff000000u;
constexpr uint32_t kRed = 0xffff0000u;
constexpr uint32_t kGreen = 0xff00ff00u;
constexpr uint32_t kBlue = 0xff0000ffu;
constexpr uint32_t kWhite = 0xffffffffu;

TRecord Particle(float x, float y)
{
    TRecord record = {};
    std::copy_n(T2dParticleRenderer().GetAttributeDefaults(), record.size(), record.begin());
    record[0] = x;
    record[1] = y;
    return record;
}

// A 32 x 16 texture in four quadrants: red, green above; blue, white below.
std::shared_ptr<TTexture> Quadrants()
{
    std::vector<uint32_t> texels(32 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            texels[size_t(y) * 32 + x] =
                y < 8 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kWhite);
    return TextureOf(32, 16, true, texels);
}

using TPixels = std::vector<uint32_t>;

// Runs draw in the 2D state of a fresh kWidth x kHeight back buffer (point filtering) and
// answers the pixels.
template <class F> TPixels Render(F draw, uint32_t background = kBackground)
{
    TTestDisplay display(kWidth, kHeight);
    display.BackBuffer().Fill(display.BackBuffer().GetBounds(), background);
    display.renderer->Begin2d();
    display.renderer->SetFilter(TFilter::Point);
    draw(*display.renderer);
    display.renderer->End2d();
    const uint32_t* pixels = display.BackBuffer().GetPixels();
    return TPixels(pixels, pixels + kWidth * kHeight);
}

TPixels DrawParticles(T2dParticleRenderer& particles, std::vector<TRecord>& records,
                      const TVec3& position = TVec3(), float opacity = 1.0f)
{
    std::vector<float*> live;
    for (TRecord& record : records)
        live.push_back(record.data());
    return Render([&](TRenderer&) { particles.Draw(position, opacity, live); });
}

uint32_t At(const TPixels& pixels, int x, int y)
{
    return pixels[size_t(y) * kWidth + x];
}

// The bounding box of the pixels that are not background: left, top, right, bottom
// (exclusive), and how many there are.
struct TCoverage
{
    int left = kWidth, top = kHeight, right = 0, bottom = 0, count = 0;
};

TCoverage Coverage(const TPixels& pixels)
{
    TCoverage c;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (At(pixels, x, y) != kBackground) {
                c.left = std::min(c.left, x);
                c.top = std::min(c.top, y);
                c.right = std::max(c.right, x + 1);
                c.bottom = std::max(c.bottom, y + 1);
                ++c.count;
            }
    return c;
}

using T2dParticleRendererTest = EngineStateTest;

TEST_F(T2dParticleRendererTest, DeclaresItsAttributesAndTheirDefaults)
{
    T2dParticleRenderer renderer;
    EXPECT_STREQ(renderer.GetInitScript().CStr(),
                 "pPosition = Allocate(2);\npUp = Allocate(2);\npScale = Allocate(1);\n"
                 "pColor = Allocate(4);\npFrame = Allocate(1);\n");
    EXPECT_EQ(renderer.GetAttributeCount(), 10);
    const TRecord expected = {0, 0, 0, -1, 1, 1, 1, 1, 1, 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), renderer.GetAttributeDefaults()));
    EXPECT_EQ(renderer.GetTextureSize(), TVec2(1, 1));
    EXPECT_EQ(renderer.GetBlendMode(), 0);
    EXPECT_FALSE(renderer.IsNonIndexed());
    const float values[4] = {4.9f, 0, 0, 0};
    renderer.SetOption("blendmode", values);
    EXPECT_EQ(renderer.GetBlendMode(), 4);
    renderer.SetOption("other", values);
    renderer.SetTexture(Quadrants());
    EXPECT_EQ(renderer.GetTextureSize(), TVec2(32, 16));
    renderer.SetTexture(nullptr);
    EXPECT_EQ(renderer.GetTextureSize(), TVec2(32, 16)) << "no texture keeps the size";
}

TEST_F(T2dParticleRendererTest, TheBlendModeOptionTakesOnlyTheNumbersOfModes)
{
    // Each value is set over additive blending: a mode's number (truncated) replaces it,
    // anything else is logged and leaves it.
    struct TCase
    {
        float value;
        TBlendMode expected;
    };
    const TCase cases[] = {
        {0.0f, kBlendNormal},        {4.9f, kBlendMultiplicative}, {1.0f, kBlendOpaque},
        {5.0f, kBlendAdditiveAlpha}, {7.0f, kBlendAdditiveAlpha},  {-1.0f, kBlendAdditiveAlpha},
        {NAN, kBlendAdditiveAlpha},  {3e9f, kBlendAdditiveAlpha},
    };
    for (const TCase& c : cases) {
        TLogCapture log;
        T2dParticleRenderer renderer;
        const float additive[4] = {2, 0, 0, 0};
        renderer.SetOption("blendmode", additive);
        const float values[4] = {c.value, 0, 0, 0};
        renderer.SetOption("blendmode", values);
        SCOPED_TRACE(c.value);
        EXPECT_EQ(renderer.GetBlendMode(), c.expected);
        const bool refused = !(c.value >= 0.0f && c.value < 5.0f);
        EXPECT_EQ(log.Has("particles: blend mode"), refused) << log.Text();
    }
}

TEST_F(T2dParticleRendererTest, QuadsHaveTheTextureSizeTimesTheScaleAroundThePosition)
{
    const std::shared_ptr<TTexture> texture = Quadrants();
    struct
    {
        float scale;
        float halfWidth, halfHeight;
    } const cases[] = {{1, 16, 8}, {2, 32, 16}, {0.5f, 8, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        T2dParticleRenderer particles;
        particles.SetTexture(texture);
        std::vector<TRecord> records = {Particle(38, 27)};
        records[0][4] = c.scale;
        // Drawn at (10, 5): the centre is (38 + 10 - 0.5, 27 + 5 - 0.5).
        const TPixels drawn = DrawParticles(particles, records, TVec3(10, 5, 0));
        const float cx = 47.5f;
        const float cy = 31.5f;
        const TPixels expected = Render([&](TRenderer& renderer) {
            renderer.SetTexture(texture);
            renderer.SetBlendMode(kBlendNormal);
            DrawQuad(cx - c.halfWidth, cy - c.halfHeight, cx + c.halfWidth, cy + c.halfHeight);
        });
        EXPECT_EQ(drawn, expected);
        const TCoverage coverage = Coverage(drawn);
        EXPECT_EQ(coverage.count, int(4 * c.halfWidth * c.halfHeight));
        EXPECT_EQ(coverage.right - coverage.left, int(2 * c.halfWidth));
        EXPECT_EQ(coverage.bottom - coverage.top, int(2 * c.halfHeight));
    }
}

TEST_F(T2dParticleRendererTest, TheUpVectorTurnsTheQuad)
{
    T2dParticleRenderer particles;
    particles.SetTexture(Quadrants());
    std::vector<TRecord> records = {Particle(48.5f, 32.5f)};
    records[0][2] = 1; // up (1, 0): the texture's top edge runs down the right side
    records[0][3] = 0;
    const TPixels drawn = DrawParticles(particles, records);
    const TCoverage coverage = Coverage(drawn);
    EXPECT_EQ(coverage.count, 512);
    EXPECT_EQ(coverage.right - coverage.left, 16);
    EXPECT_EQ(coverage.bottom - coverage.top, 32);
    EXPECT_EQ(At(drawn, 52, 24), kRed);
    EXPECT_EQ(At(drawn, 52, 40), kGreen);
    EXPECT_EQ(At(drawn, 44, 24), kBlue);
    EXPECT_EQ(At(drawn, 44, 40), kWhite);
}

TEST_F(T2dParticleRendererTest, ColoursAreClampedAndTheirAlphaTimesTheOpacity)
{
    struct
    {
        float red, alpha, opacity;
        int expectedRed; // over black, normal blending
    } const cases[] = {
        {1, 1, 1, 255}, {1, 1, 0.5f, 127}, {1, 0.6f, 0.5f, 76}, {1, 0.5f, 0, 0},
        {1, 1, 3, 255}, {2, 1, 1, 255},    {-1, 1, 1, 0},       {1, std::nanf(""), 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.red << " " << c.alpha << " x " << c.opacity);
        T2dParticleRenderer particles; // no texture: 1 x 1 quads of the colour
        std::vector<TRecord> records = {Particle(20.5f, 20.5f)};
        records[0][4] = 8;
        records[0][5] = c.red;
        records[0][6] = 0;
        records[0][7] = 0;
        records[0][8] = c.alpha;
        const TPixels drawn = DrawParticles(particles, records, TVec3(0.5f, 0.5f, 0), c.opacity);
        const int red = int(At(drawn, 20, 20) >> 16 & 0xff);
        EXPECT_LE(std::abs(red - c.expectedRed), 1) << red;
        EXPECT_EQ(At(drawn, 20, 20) & 0xffff, 0u);
    }
}

TEST_F(T2dParticleRendererTest, IndexedAndNonIndexedDrawingGiveOnePicture)
{
    std::vector<TRecord> records = {Particle(20, 20), Particle(50, 30), Particle(70, 40)};
    records[1][2] = 0.6f; // turned and stretched
    records[1][3] = -0.8f;
    records[2][4] = 1.5f;
    records[2][5] = 0.5f;
    records[2][8] = 0.7f;
    T2dParticleRenderer indexed;
    indexed.SetTexture(Quadrants());
    const TPixels fromIndices = DrawParticles(indexed, records);
    SetConfig("brokenindexedverts", "1");
    T2dParticleRenderer plain;
    plain.SetTexture(Quadrants());
    ASSERT_TRUE(plain.IsNonIndexed());
    EXPECT_EQ(DrawParticles(plain, records), fromIndices);
    EXPECT_GT(Coverage(fromIndices).count, 3 * 400);
}

TEST_F(T2dParticleRendererTest, AnimatedTexturesShowTheParticlesFrame)
{
    TImageFolder folder;
    PutSheet(folder, "fx/sheet.png", 24, 8);
    folder.Put("fx/strip.xml", StripXml("sheet.png", 3, 8, 8));
    const std::shared_ptr<TAnimatedTexture> strip = TAnimatedTexture::Get("user:fx/strip.xml");
    ASSERT_NE(strip, nullptr);
    T2dParticleRenderer particles;
    particles.SetTexture(strip);
    EXPECT_EQ(particles.GetTextureSize(), TVec2(8, 8));
    struct
    {
        float frame;
        std::set<uint32_t> reds; // the sheet columns shown
    } const cases[] = {
        {1, {8, 9, 10, 11, 12, 13, 14, 15}},
        {2.9f, {16, 17, 18, 19, 20, 21, 22, 23}},
        {3, {0}}, // no such frame: every corner at (0, 0)
        {-1, {0}},
        {std::nanf(""), {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        std::vector<TRecord> records = {Particle(40, 30)};
        records[0][9] = c.frame;
        const TPixels drawn = DrawParticles(particles, records, TVec3(0.5f, 0.5f, 0));
        std::set<uint32_t> reds;
        for (uint32_t pixel : drawn)
            if (pixel != kBackground)
                reds.insert(pixel >> 16 & 0xff);
        EXPECT_EQ(reds, c.reds);
        EXPECT_EQ(Coverage(drawn).count, 64);
    }
}

TEST_F(T2dParticleRendererTest, TheBlendModeHoldsForTheDrawOnly)
{
    T2dParticleRenderer particles;
    const float additive[4] = {kBlendAdditiveAlpha, 0, 0, 0};
    particles.SetOption("blendmode", additive);
    std::vector<TRecord> records = {Particle(10.5f, 10.5f)};
    records[0][4] = 4;
    records[0][5] = 0.5f;
    records[0][6] = 0.25f;
    records[0][7] = 0;
    std::vector<float*> live = {records[0].data()};
    int modeAfter = -1;
    const TPixels drawn = Render(
        [&](TRenderer& renderer) {
            particles.Draw(TVec3(0.5f, 0.5f, 0), 1, live);
            modeAfter = renderer.GetDisplayHandler().GetBlendMode();
        },
        0xff404040u);
    EXPECT_EQ(modeAfter, kBlendNormal);
    const uint32_t pixel = At(drawn, 10, 10);
    EXPECT_NEAR(int(pixel >> 16 & 0xff), 0x40 + 127, 1);
    EXPECT_NEAR(int(pixel >> 8 & 0xff), 0x40 + 63, 1);
    EXPECT_EQ(pixel & 0xff, 0x40u);
}

TEST_F(T2dParticleRendererTest, MoreParticlesThanSixteenBitIndicesReachAreAllDrawn)
{
    // One pixel each: 96 x 64 = 6144 particles, four times over in other colours, the
    // last colour wins only where the last batches reach.
    std::vector<TRecord> records;
    for (int layer = 0; layer < 4; ++layer)
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                records.push_back(Particle(float(x) + 0.5f, float(y) + 0.5f));
                records.back()[6] = layer == 3 ? 0.0f : 1.0f; // the last layer is magenta
            }
    ASSERT_GT(records.size(), 65536u / 4);
    T2dParticleRenderer particles;
    const TPixels drawn = DrawParticles(particles, records, TVec3(0.5f, 0.5f, 0));
    int magenta = 0;
    for (uint32_t pixel : drawn)
        magenta += pixel == 0xffff00ffu;
    EXPECT_EQ(magenta, kWidth * kHeight);
}

} // namespace
