#include "engine/graphics/vector/THvMiniVecDraw.h"

#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/graphics/text/FontCache.h"
#include "tests/engine/graphics/RendererTestSupport.h"
#include "tests/engine/graphics/vector/ScanTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The rasteriser is process-wide: each test starts with a new one and leaves none.
class THvMiniVecDrawTest : public EngineStateTest
{
protected:
    static uint32_t At(const std::shared_ptr<TTexture>& texture, int x, int y)
    {
        uint32_t* pixels = nullptr;
        int pitch = 0;
        if (!texture->Lock(pixels, pitch))
            return 0xBAD0BAD0u;
        const uint32_t pixel = pixels[y * pitch + x];
        texture->Unlock();
        return pixel;
    }

    // The pixels of texture that are not 0.
    static std::map<std::pair<int, int>, uint32_t> Drawn(const std::shared_ptr<TTexture>& texture)
    {
        std::map<std::pair<int, int>, uint32_t> drawn;
        for (int y = 0; y < texture->GetHeight(); ++y)
            for (int x = 0; x < texture->GetWidth(); ++x)
                if (const uint32_t pixel = At(texture, x, y))
                    drawn[{y, x}] = pixel;
        return drawn;
    }

    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
};

TEST_F(THvMiniVecDrawTest, ARepeatedGlyphIsReplayedInTheColourInForce)
{
    const std::shared_ptr<TTexture> texture = TTexture::Create(24, 24, true);
    const std::vector<uint8_t> square = QuarterRectangle(0, -16, 16, 0);
    draw.SetTargetModes(true, false);
    ASSERT_TRUE(draw.Begin(2.0f, 6.0f, texture));
    draw.SetSlotColor(1, TColor(1, 0, 0, 1), 1.0f);
    draw.DrawGlyph(square.data(), square.size(), 0, 0);
    const size_t records = draw.GetSpanCache().GetRecordCount();
    EXPECT_EQ(draw.GetSpanCache().GetGlyphCount(), 1u);

    // Same parameters and phase, another colour and place: a replay.
    draw.Begin(12.0f, 22.0f, texture);
    draw.SetSlotColor(1, TColor(0, 0, 1, 1), 1.0f);
    draw.DrawGlyph(square.data(), square.size(), 0, 0);
    EXPECT_EQ(draw.GetSpanCache().GetRecordCount(), records);
    draw.Flush();

    std::map<std::pair<int, int>, uint32_t> expected;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            expected[{2 + y, 2 + x}] = 0xFFFF0000u; // above the origin: rows 2 to 5
            expected[{18 + y, 12 + x}] = 0xFF0000FFu;
        }
    EXPECT_EQ(Drawn(texture), expected);

    // Another phase or another scale is another glyph.
    draw.Begin(12.5f, 22.0f, texture);
    draw.DrawGlyph(square.data(), square.size(), 0, 0);
    draw.SetScale(2.0f, 2.0f);
    draw.DrawGlyph(square.data(), square.size(), 0, 0);
    draw.Flush();
    EXPECT_EQ(draw.GetSpanCache().GetGlyphCount(), 3u);
}

TEST_F(THvMiniVecDrawTest, ReplaysThatFillTheBatchExactlyLeaveRoomForTheNextGlyph)
{
    // A 4 x 4 pixel square is one span a row: the first square and 255 replays fill the
    // batch to its last slot, and a glyph not cached yet follows at once.
    const std::vector<uint8_t> square = QuarterRectangle(0, -16, 16, 0);
    const std::vector<uint8_t> bar = QuarterRectangle(0, -256, 8, 0);
    const size_t spansPerSquare = Scan(square).spans.size();
    ASSERT_EQ(spansPerSquare, 4u);
    const int squares = THvMiniVecDraw::kBatchSpans / static_cast<int>(spansPerSquare);
    ASSERT_EQ(squares, 256);

    const std::shared_ptr<TTexture> texture = TTexture::Create(68, 64, true);
    draw.SetTargetModes(true, false);
    ASSERT_TRUE(draw.Begin(0.0f, 4.0f, texture));
    draw.SetSlotColor(1, TColor(1, 1, 1, 1), 1.0f);
    for (int k = 0; k < squares; ++k)
        draw.DrawGlyph(square.data(), square.size(), 16 * (k % 16), 16 * (k / 16));
    draw.SetSlotColor(1, TColor(1, 0, 0, 1), 1.0f);
    draw.DrawGlyph(bar.data(), bar.size(), 256, 240); // columns 64 and 65, rows 0 to 63
    draw.Flush();
    EXPECT_EQ(draw.GetSpanCache().GetGlyphCount(), 2u);

    std::map<std::pair<int, int>, uint32_t> expected;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x)
            expected[{y, x}] = 0xFFFFFFFFu;
        expected[{y, 64}] = expected[{y, 65}] = 0xFFFF0000u;
    }
    EXPECT_EQ(Drawn(texture), expected);
}

TEST_F(THvMiniVecDrawTest, GlyphPositionsAddQuarterPixelsToTheOrigin)
{
    const std::shared_ptr<TTexture> texture = TTexture::Create(16, 16, true);
    const std::vector<uint8_t> dot = QuarterRectangle(0, 0, 4, 4);
    draw.SetTargetModes(true, false);
    draw.SetSlotColor(1, TColor(1, 1, 1, 1), 1.0f);
    draw.Begin(3.0f, 2.0f, texture);
    draw.DrawGlyph(dot.data(), dot.size(), 20, -4); // five pixels right, one up
    // Three and a quarter pixels left, two down: a quarter of it in column -1 (cut off),
    // three quarters in column 0.
    draw.DrawGlyph(dot.data(), dot.size(), -13, 8);
    draw.Flush();
    const std::map<std::pair<int, int>, uint32_t> expected = {
        {{1, 8}, 0xFFFFFFFFu}, {{4, 0}, (255u * 12 / 16) << 24 | 0xFFFFFFu}};
    EXPECT_EQ(Drawn(texture), expected);
}

TEST_F(THvMiniVecDrawTest, SlotColoursFillTheirBufferTables)
{
    draw.SetSlotColor(1, TColor(1, 1, 1, 1), 1.5f); // an eased alpha above 1 saturates
    EXPECT_EQ(draw.GetBufferColor(3, 15), 0xFFFFFFFFu);
    EXPECT_EQ(draw.GetBufferColor(3, 0), (255u * 16 / 256) << 24 | 0xFFFFFFu);
    EXPECT_EQ(draw.GetBufferColor(3, 31), (255u * 255 / 256) << 24 | 0xFFFFFFu);
    draw.SetSlotColor(1, TColor(1, 1, 1, 1), -2.0f);
    EXPECT_EQ(draw.GetBufferColor(3, 15), 0x00FFFFFFu);
    // Slots 2 and 200 share buffer 2: the colour set last wins.
    draw.SetSlotColor(2, TColor(1, 0, 0, 1), 1.0f);
    draw.SetSlotColor(200, TColor(0, 1, 0, 0.5f), 1.0f);
    EXPECT_EQ(draw.GetBufferColor(2, 15), 0x7F00FF00u);
    draw.SetSlotColor(255, TColor(0, 0, 1, 1), 1.0f);
    draw.SetSlotColor(254, TColor(1, 1, 0, 1), 1.0f);
    EXPECT_EQ(draw.GetBufferColor(0, 15), 0xFF0000FFu);
    EXPECT_EQ(draw.GetBufferColor(1, 15), 0xFFFFFF00u);
    EXPECT_EQ(draw.GetBufferColor(4, 0), 0u);
}

TEST_F(THvMiniVecDrawTest, FarPositionsAndBadScalesDrawNothingAndStaySafe)
{
    const std::shared_ptr<TTexture> texture = TTexture::Create(8, 8, true);
    const std::vector<uint8_t> square = QuarterRectangle(0, 0, 16, 16);
    draw.SetTargetModes(true, false);
    draw.SetSlotColor(1, TColor(1, 1, 1, 1), 1.0f);
    draw.Begin(1.0e12f, -1.0e12f, texture);
    draw.DrawGlyph(square.data(), square.size(), INT32_MAX, INT32_MIN);
    draw.Begin(std::numeric_limits<float>::quiet_NaN(), 0.0f, texture);
    draw.SetScale(std::numeric_limits<float>::quiet_NaN(), 1.0f);
    draw.DrawGlyph(square.data(), square.size(), 0, 0);
    draw.SetScale(1.0f, 1.0f);
    draw.DrawGlyph(nullptr, 0, 0, 0);
    draw.Flush();
    EXPECT_TRUE(Drawn(texture).empty());
}

TEST_F(THvMiniVecDrawTest, CalibrationFindsExactOffsetsOnTheSoftwareDevice)
{
    TTestDisplay display(800, 600);
    draw.CalibrateSpanOffsets();
    const THvMiniVecDraw::TSpanOffsets offsets = draw.GetSpanOffsets();
    // The device lights pixels whose centres lie in [x0, x1) on row floor(y + 0.5).
    EXPECT_TRUE(offsets.start > -1.0f && offsets.start <= 0.0f) << offsets.start;
    EXPECT_TRUE(offsets.end > -1.0f && offsets.end <= 0.0f) << offsets.end;
    EXPECT_TRUE(offsets.vertical >= -0.5f && offsets.vertical < 0.5f) << offsets.vertical;
    EXPECT_EQ(draw.GetBatchVertices(), THvMiniVecDraw::kBatchVertices);

    // Spans on the screen now land where they land in a texture.
    const std::vector<uint8_t> disc = QuarterRectangle(1, -30, 43, -3);
    const std::shared_ptr<TTexture> texture = TTexture::Create(32, 32, true);
    draw.SetSlotColor(1, TColor(1, 1, 1, 1), 1.0f);
    draw.SetTargetModes(true, false);
    draw.Begin(5.25f, 12.0f, texture);
    draw.DrawGlyph(disc.data(), disc.size(), 0, 0);
    draw.Flush();
    display.BackBuffer().Fill(TRect(0, 0, 800, 600), 0xFF000000u);
    TRenderer& renderer = *display.renderer;
    ASSERT_TRUE(renderer.BeginDraw(false));
    renderer.Begin2d();
    draw.Begin(5.25f, 12.0f, nullptr);
    draw.DrawGlyph(disc.data(), disc.size(), 0, 0);
    draw.Flush();
    renderer.End2d();
    renderer.EndDraw(false);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int coverage = static_cast<int>(At(texture, x, y) >> 24);
            const int shown = static_cast<int>(display.BackBuffer().At(x, y) & 0xFF);
            ASSERT_NEAR(shown, coverage, 1) << x << "," << y;
        }
}

TEST_F(THvMiniVecDrawTest, WithoutARenderTargetCalibrationKeepsFixedOffsets)
{
    TRenderer::Destroy(); // a renderer without a back buffer cannot draw into a target
    TLogCapture log;
    draw.CalibrateSpanOffsets();
    EXPECT_EQ(draw.GetSpanOffsets().start, -0.75f);
    EXPECT_EQ(draw.GetSpanOffsets().end, -0.75f);
    EXPECT_EQ(draw.GetSpanOffsets().vertical, 0.25f);
    EXPECT_TRUE(log.Has(THvMiniVecDraw::kNoCalibrationTargetLog));
}

TEST_F(THvMiniVecDrawTest, ThePlatformsVectorDrawingCalibratesAndEndsText)
{
    TTestDisplay display(800, 600);
    InstallGraphics();
    std::unique_ptr<TVectorDrawSeam> link = TEngineSeams::CreateVectorDraw();
    ASSERT_NE(link, nullptr);
    link->Calibrate();
    EXPECT_NE(THvMiniVecDraw::Get().GetSpanOffsets().start, 0.25f);
    TVecFont* font = FontCache::GetFont(FontCache::kBuiltInName);
    EXPECT_NE(font, nullptr);
    link.reset();
    // The rasteriser went with it: a new one starts with the initial offsets.
    THvMiniVecDraw::Get();
    EXPECT_EQ(THvMiniVecDraw::Get().GetSpanOffsets().start, 0.25f);
}

} // namespace
