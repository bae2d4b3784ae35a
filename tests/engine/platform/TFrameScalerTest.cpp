// The stretch of a frame over a full-screen window: where each target pixel takes its
// colour, the blend, and whole frames checked pixel by pixel against what the mapping
// gives.

#include "engine/platform/TFrameScaler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct TMapCase
{
    int target;
    int targetSize;
    int frameSize;
    int index;
    int weight;
};

// (target + 0.5) * frameSize / targetSize - 0.5, clamped to the frame, in 256ths.
const TMapCase kMapCases[] = {
    {0, 4, 4, 0, 0},           {3, 4, 4, 3, 0},            // equal sizes: the pixel itself
    {0, 4, 2, 0, 0},           {1, 4, 2, 0, 64},           // twice as wide: a quarter,
    {2, 4, 2, 0, 192},         {3, 4, 2, 1, 0},            // three quarters, the edge repeated
    {0, 2, 4, 0, 128},         {1, 2, 4, 2, 128},          // half as wide: halfway between two
    {0, 1920, 800, 0, 0},      {960, 1920, 800, 399, 181}, // 800 over 1920: 399.708
    {1919, 1920, 800, 799, 0}, {539, 1080, 600, 299, 56},  // 600 over 1080: 299.22
    {0, 7, 1, 0, 0},           {6, 7, 1, 0, 0},            // a frame one pixel wide
    {2, 3, 5, 3, 170},                                     // 5 over 3: 3.667
};

TEST(TFrameScaler, TargetPixelsMapOntoTheFrameByTheirCentres)
{
    for (const TMapCase& c : kMapCases) {
        const TFrameScaler::TTap tap = TFrameScaler::MapPixel(c.target, c.targetSize, c.frameSize);
        EXPECT_EQ(tap.index, c.index)
            << c.target << " of " << c.targetSize << " over " << c.frameSize;
        EXPECT_EQ(tap.weight, c.weight)
            << c.target << " of " << c.targetSize << " over " << c.frameSize;
    }
}

struct TBlendCase
{
    uint32_t a;
    uint32_t b;
    int weight;
    uint32_t expected;
};

const TBlendCase kBlendCases[] = {
    {0x00000000u, 0x00FFFFFFu, 0, 0xFF000000u},   // all of a, made opaque
    {0x00000000u, 0x00FFFFFFu, 256, 0xFFFFFFFFu}, // all of b
    {0x00000000u, 0x00FFFFFFu, 64, 0xFF3F3F3Fu},
    {0x00000000u, 0x00FFFFFFu, 192, 0xFFBFBFBFu},
    {0x00FF0000u, 0x000000FFu, 128, 0xFF7F007Fu}, // channels do not bleed into each other
    {0x0000FF00u, 0x00FF00FFu, 128, 0xFF7F7F7Fu},
    {0x80123456u, 0x40123456u, 77, 0xFF123456u},  // equal colours stay as they are
    {0x00FFFFFFu, 0x00FFFFFFu, 255, 0xFFFFFFFFu}, // no overflow at the top
};

TEST(TFrameScaler, BlendWeighsEachChannelAndIgnoresAlpha)
{
    for (const TBlendCase& c : kBlendCases)
        EXPECT_EQ(TFrameScaler::Blend(c.a, c.b, c.weight), c.expected)
            << std::hex << c.a << " " << c.b << " " << std::dec << c.weight;
}

// A frame whose every pixel differs, alpha bytes included.
std::vector<uint32_t> Pattern(int width, int height, int pitch)
{
    std::vector<uint32_t> frame(static_cast<size_t>(pitch) * height, 0xDEADBEEFu);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame[static_cast<size_t>(y) * pitch + x] =
                static_cast<uint32_t>((x * 37 + y * 11) & 0xFF) << 24 |
                static_cast<uint32_t>((x * 53) & 0xFF) << 16 |
                static_cast<uint32_t>((y * 29) & 0xFF) << 8 |
                static_cast<uint32_t>((x * y * 7 + 3) & 0xFF);
    return frame;
}

// What the mapping says a target pixel is, blended in the same order Scale does: across,
// then down.
uint32_t Expected(const std::vector<uint32_t>& frame, int pitch, int frameWidth, int frameHeight,
                  int x, int y, int targetWidth, int targetHeight)
{
    const TFrameScaler::TTap column = TFrameScaler::MapPixel(x, targetWidth, frameWidth);
    const TFrameScaler::TTap row = TFrameScaler::MapPixel(y, targetHeight, frameHeight);
    const int right = column.index + (column.weight != 0 ? 1 : 0);
    const int below = row.index + (row.weight != 0 ? 1 : 0);
    const auto at = [&](int px, int py) { return frame[static_cast<size_t>(py) * pitch + px]; };
    const uint32_t upper =
        TFrameScaler::Blend(at(column.index, row.index), at(right, row.index), column.weight);
    const uint32_t lower =
        TFrameScaler::Blend(at(column.index, below), at(right, below), column.weight);
    return row.weight == 0 ? upper : TFrameScaler::Blend(upper, lower, row.weight);
}

struct TSizeCase
{
    int frameWidth;
    int frameHeight;
    int targetWidth;
    int targetHeight;
};

const TSizeCase kSizeCases[] = {
    {16, 12, 16, 12}, // equal: a copy
    {16, 12, 40, 30}, // larger both ways
    {16, 12, 16, 30}, // taller only
    {16, 12, 40, 12}, // wider only
    {16, 12, 7, 5},   // smaller
    {16, 12, 23, 9},  // wider and lower
    {1, 1, 9, 4},     // one pixel over many
    {80, 60, 192, 108},
};

TEST(TFrameScaler, EveryTargetPixelIsTheBlendItsTapsGive)
{
    for (const TSizeCase& c : kSizeCases) {
        const int framePitch = c.frameWidth + 3;
        const int targetPitch = c.targetWidth + 5;
        const std::vector<uint32_t> frame = Pattern(c.frameWidth, c.frameHeight, framePitch);
        std::vector<uint32_t> target(static_cast<size_t>(targetPitch) * c.targetHeight,
                                     0x12345678u);
        TFrameScaler scaler;
        scaler.SetSizes(c.frameWidth, c.frameHeight, c.targetWidth, c.targetHeight);
        scaler.Scale(frame.data(), framePitch, target.data(), targetPitch);
        for (int y = 0; y < c.targetHeight; ++y) {
            for (int x = 0; x < targetPitch; ++x) {
                const uint32_t expected =
                    x < c.targetWidth ? Expected(frame, framePitch, c.frameWidth, c.frameHeight, x,
                                                 y, c.targetWidth, c.targetHeight)
                                      : 0x12345678u; // beyond the width: untouched
                ASSERT_EQ(target[static_cast<size_t>(y) * targetPitch + x], expected)
                    << c.frameWidth << "x" << c.frameHeight << " over " << c.targetWidth << "x"
                    << c.targetHeight << " at " << x << "," << y;
            }
        }
    }
}

TEST(TFrameScaler, EqualSizesCopyTheFrameOpaque)
{
    const std::vector<uint32_t> frame = Pattern(9, 4, 9);
    std::vector<uint32_t> target(9 * 4);
    TFrameScaler scaler;
    scaler.SetSizes(9, 4, 9, 4);
    scaler.Scale(frame.data(), 9, target.data(), 9);
    for (size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(target[i], frame[i] | 0xFF000000u) << i;
}

TEST(TFrameScaler, AFrameOfOneColourStaysThatColourAtAnySize)
{
    for (const TSizeCase& c : kSizeCases) {
        const std::vector<uint32_t> frame(static_cast<size_t>(c.frameWidth) * c.frameHeight,
                                          0x00C08040u);
        std::vector<uint32_t> target(static_cast<size_t>(c.targetWidth) * c.targetHeight);
        TFrameScaler scaler;
        scaler.SetSizes(c.frameWidth, c.frameHeight, c.targetWidth, c.targetHeight);
        scaler.Scale(frame.data(), c.frameWidth, target.data(), c.targetWidth);
        EXPECT_EQ(target, std::vector<uint32_t>(target.size(), 0xFFC08040u))
            << c.targetWidth << "x" << c.targetHeight;
    }
}

TEST(TFrameScaler, AStretchedRampKeepsItsEndsAndRises)
{
    // Black to white across two pixels, over four: the ends stay, the middle blends.
    const std::vector<uint32_t> frame = {0x000000u, 0xFFFFFFu};
    std::vector<uint32_t> target(4);
    TFrameScaler scaler;
    scaler.SetSizes(2, 1, 4, 1);
    scaler.Scale(frame.data(), 2, target.data(), 4);
    EXPECT_EQ(target, (std::vector<uint32_t>{0xFF000000u, 0xFF3F3F3Fu, 0xFFBFBFBFu, 0xFFFFFFFFu}));
    // The same down a column.
    target.assign(4, 0);
    scaler.SetSizes(1, 2, 1, 4);
    scaler.Scale(frame.data(), 1, target.data(), 1);
    EXPECT_EQ(target, (std::vector<uint32_t>{0xFF000000u, 0xFF3F3F3Fu, 0xFFBFBFBFu, 0xFFFFFFFFu}));
}

TEST(TFrameScaler, QuadrantsKeepTheirColoursOverAFullScreen)
{
    const uint32_t colours[4] = {0x00FF0000u, 0x8000FF00u, 0xFF0000FFu, 0x40FFFF00u};
    std::vector<uint32_t> frame;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            frame.push_back(colours[(y < 24 ? 0 : 2) + (x < 32 ? 0 : 1)]);
    std::vector<uint32_t> target(1024 * 768);
    TFrameScaler scaler;
    scaler.SetSizes(64, 48, 1024, 768);
    scaler.Scale(frame.data(), 64, target.data(), 1024);
    // Only the target pixels within half a frame pixel of a border blend.
    for (int y = 0; y < 768; y += 7) {
        for (int x = 0; x < 1024; x += 5) {
            if (std::abs(2 * x + 1 - 1024) <= 16 || std::abs(2 * y + 1 - 768) <= 16)
                continue;
            ASSERT_EQ(target[static_cast<size_t>(y) * 1024 + x],
                      colours[(y < 384 ? 0 : 2) + (x < 512 ? 0 : 1)] | 0xFF000000u)
                << x << "," << y;
        }
    }
}

TEST(TFrameScaler, ANewFrameIsStretchedWholeAgain)
{
    // Rows stretched for one frame must not stand in for the next frame's.
    const std::vector<uint32_t> first = Pattern(10, 6, 10);
    std::vector<uint32_t> second = first;
    for (uint32_t& pixel : second)
        pixel ^= 0x00FFFFFFu;
    std::vector<uint32_t> target(25 * 13);
    TFrameScaler scaler;
    scaler.SetSizes(10, 6, 25, 13);
    scaler.Scale(first.data(), 10, target.data(), 25);
    scaler.Scale(second.data(), 10, target.data(), 25);
    std::vector<uint32_t> fresh(25 * 13);
    TFrameScaler other;
    other.SetSizes(10, 6, 25, 13);
    other.Scale(second.data(), 10, fresh.data(), 25);
    EXPECT_EQ(target, fresh);
}

TEST(TFrameScaler, SizesBelowOneLeaveTheTargetAlone)
{
    const TSizeCase kEmpty[] = {{0, 4, 4, 4}, {4, 0, 4, 4}, {4, 4, 0, 4}, {4, 4, 4, -1}};
    const std::vector<uint32_t> frame(16, 0xFFFFFFu);
    for (const TSizeCase& c : kEmpty) {
        std::vector<uint32_t> target(16, 7u);
        TFrameScaler scaler;
        scaler.SetSizes(c.frameWidth, c.frameHeight, c.targetWidth, c.targetHeight);
        EXPECT_TRUE(scaler.IsEmpty());
        scaler.Scale(frame.data(), 4, target.data(), 4);
        EXPECT_EQ(target, std::vector<uint32_t>(16, 7u));
    }
}

} // namespace
