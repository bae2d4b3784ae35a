#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

namespace {

// Pixels whose centres lie in [left, right) x [top, bottom), each drawn once.
std::string Block(int width, int height, int left, int top, int right, int bottom)
{
    std::string text;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            text += x >= left && x < right && y >= top && y < bottom ? '1' : '.';
        text += '\n';
    }
    return text;
}

TEST(TRasterizer, QuadsFollowTheTopLeftRule)
{
    struct Case
    {
        float left, top, right, bottom;
        int pixelLeft, pixelTop, pixelRight, pixelBottom;
    };
    const Case cases[] = {
        {2.0f, 2.0f, 6.0f, 6.0f, 2, 2, 6, 6},     // corners on centres: left and top kept
        {1.5f, 1.5f, 5.5f, 5.5f, 2, 2, 6, 6},     // the 1:1 placement of a 4 x 4 image
        {1.25f, 0.75f, 3.75f, 2.25f, 2, 1, 4, 3}, // fractions either side of centres
        {3.0f, 3.0f, 3.5f, 3.5f, 3, 3, 4, 4},     // small, holding one centre on its corner
        {3.1f, 3.1f, 3.9f, 3.9f, 0, 0, 0, 0},     // holding no centre
    };
    for (const Case& c : cases) {
        TDeviceFixture fixture(8, 8);
        fixture.DrawScreen(TPrimitiveType::TriangleFan,
                           ScreenQuad(c.left, c.top, c.right, c.bottom));
        EXPECT_EQ(fixture.Coverage(),
                  Block(8, 8, c.pixelLeft, c.pixelTop, c.pixelRight, c.pixelBottom))
            << c.left << "," << c.top << " - " << c.right << "," << c.bottom;
    }
}

TEST(TRasterizer, TrianglesSharingEdgesDrawEveryPixelOnce)
{
    // A grid of cells with jittered inner corners, each cell split along a random
    // diagonal, the triangles in random vertex order; the outline is the rectangle
    // (2.3, 1.7) - (27.8, 19.2), which holds the centres x 3..27, y 2..19.
    constexpr int kColumns = 7;
    constexpr int kRows = 5;
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> jitter(-0.45f, 0.45f);
    for (int round = 0; round < 20; ++round) {
        float xs[kColumns + 1][kRows + 1];
        float ys[kColumns + 1][kRows + 1];
        for (int i = 0; i <= kColumns; ++i)
            for (int j = 0; j <= kRows; ++j) {
                const bool inner = i > 0 && i < kColumns && j > 0 && j < kRows;
                const float cellW = (27.8f - 2.3f) / kColumns;
                const float cellH = (19.2f - 1.7f) / kRows;
                xs[i][j] = 2.3f + cellW * (static_cast<float>(i) + (inner ? jitter(random) : 0));
                ys[i][j] = 1.7f + cellH * (static_cast<float>(j) + (inner ? jitter(random) : 0));
            }
        // Some inner corners on pixel centres and cell edges along rows of centres.
        xs[3][2] = 13.0f;
        ys[3][2] = 9.0f;
        std::vector<TScreenVertex> triangles;
        const auto corner = [&](int i, int j) { return Screen(xs[i][j], ys[i][j]); };
        for (int i = 0; i < kColumns; ++i)
            for (int j = 0; j < kRows; ++j) {
                TScreenVertex a = corner(i, j), b = corner(i + 1, j), c = corner(i + 1, j + 1),
                              d = corner(i, j + 1);
                // A jittered cell may be concave; only a diagonal inside it splits it.
                const auto turns = [](const TScreenVertex& p, const TScreenVertex& q,
                                      const TScreenVertex& r) {
                    return (q.x - p.x) * (r.y - p.y) - (r.x - p.x) * (q.y - p.y) > 0;
                };
                const bool acFits = turns(a, b, c) && turns(a, c, d);
                const bool bdFits = turns(a, b, d) && turns(b, c, d);
                const bool useAc = acFits && (!bdFits || random() % 2);
                std::vector<TScreenVertex> cell =
                    useAc ? std::vector{a, b, c, a, c, d} : std::vector{a, b, d, b, c, d};
                if (random() % 2) {
                    std::swap(cell[0], cell[1]);
                    std::swap(cell[4], cell[5]);
                }
                triangles.insert(triangles.end(), cell.begin(), cell.end());
            }
        TDeviceFixture fixture(32, 24);
        fixture.DrawScreen(TPrimitiveType::TriangleList, triangles);
        ASSERT_EQ(fixture.Coverage(), Block(32, 24, 3, 2, 28, 20)) << "round " << round;
    }
}

TEST(TRasterizer, AParallelogramFanMatchesItsTwoTriangles)
{
    // Rotated, so the polygon and the triangle path both do real work.
    const TScreenVertex a = Screen(3.2f, 1.1f), b = Screen(14.7f, 5.3f), c = Screen(11.1f, 15.9f),
                        d = Screen(-0.4f, 11.7f);
    TDeviceFixture fan(16, 16);
    fan.DrawScreen(TPrimitiveType::TriangleFan, {a, b, c, d});
    TDeviceFixture list(16, 16);
    list.DrawScreen(TPrimitiveType::TriangleList, {a, b, c, a, c, d});
    EXPECT_EQ(fan.Coverage(), list.Coverage());
    EXPECT_NE(fan.Coverage().find('1'), std::string::npos);
    EXPECT_EQ(fan.Coverage().find('2'), std::string::npos);
}

TEST(TRasterizer, TrianglePairsOfAListMatchTheirTriangles)
{
    // Quads as particles send them: four corners, indices c, c+1, c+2, c+1, c+3, c+2.
    // Shared vertices let a pair be filled as one polygon; the result must equal the
    // two triangles drawn one by one (unshared copies are never merged).
    const std::vector<TScreenVertex> corners = {
        Screen(1.3f, 0.6f, 0xFF000000u),  Screen(9.7f, 2.1f, 0xFF200010u),
        Screen(0.1f, 7.4f, 0xFF080030u),  Screen(8.5f, 8.9f, 0xFF280040u), // a parallelogram
        Screen(10.2f, 1.0f, 0xFF101010u), Screen(15.0f, 1.0f, 0xFF101010u),
        Screen(10.2f, 9.0f, 0xFF101010u), Screen(14.0f, 9.5f, 0xFF101010u), // not one
    };
    const std::vector<uint16_t> indices = {0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6};
    for (TCull cull : {TCull::None, TCull::Clockwise, TCull::CounterClockwise}) {
        TDeviceFixture indexed(16, 10);
        indexed.device.State().cullMode = cull;
        indexed.device.State().alphaBlendEnable = false;
        indexed.device.DrawIndexedPrimitive(TPrimitiveType::TriangleList, corners.data(), 8,
                                            indices.data(), 12);
        std::vector<TScreenVertex> separate;
        for (uint16_t index : indices)
            separate.push_back(corners[index]);
        TDeviceFixture plain(16, 10);
        plain.device.State().cullMode = cull;
        plain.device.State().alphaBlendEnable = false;
        plain.DrawScreen(TPrimitiveType::TriangleList, separate);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(indexed.target.At(x, y), plain.target.At(x, y))
                    << "cull " << int(cull) << " at " << x << "," << y;
    }
    // A pair turning opposite ways is two triangles: clockwise culling keeps one.
    const std::vector<uint16_t> turned = {0, 1, 2, 1, 2, 3};
    TDeviceFixture culled(16, 10);
    culled.device.State().cullMode = TCull::Clockwise;
    culled.device.DrawIndexedPrimitive(TPrimitiveType::TriangleList, corners.data(), 8,
                                       turned.data(), 6);
    EXPECT_EQ(culled.target.At(2, 2), 0u);
    EXPECT_NE(culled.target.At(7, 7), 0u);
}

TEST(TRasterizer, CullModesDropTrianglesByScreenOrientation)
{
    // (0,0) (8,0) (0,8) turns clockwise on a screen whose y grows downwards.
    const std::vector<TScreenVertex> clockwise = {Screen(0, 0), Screen(8, 0), Screen(0, 8)};
    const std::vector<TScreenVertex> counter = {Screen(0, 0), Screen(0, 8), Screen(8, 0)};
    struct Case
    {
        TCull cull;
        bool drawsClockwise;
        bool drawsCounter;
    };
    const Case cases[] = {{TCull::None, true, true},
                          {TCull::Clockwise, false, true},
                          {TCull::CounterClockwise, true, false}};
    for (const Case& c : cases) {
        TDeviceFixture first(8, 8);
        first.device.State().cullMode = c.cull;
        first.DrawScreen(TPrimitiveType::TriangleList, clockwise);
        EXPECT_EQ(first.target.At(1, 1) != 0, c.drawsClockwise);
        TDeviceFixture second(8, 8);
        second.device.State().cullMode = c.cull;
        second.DrawScreen(TPrimitiveType::TriangleList, counter);
        EXPECT_EQ(second.target.At(1, 1) != 0, c.drawsCounter);
    }
}

TEST(TRasterizer, StripsAndFansKeepOneOrientation)
{
    // With clockwise culling nothing of a clockwise strip or fan may be drawn, and
    // without culling each pixel once.
    const std::vector<TScreenVertex> strip = {Screen(0, 0), Screen(8, 0), Screen(0, 4),
                                              Screen(8, 4), Screen(0, 8), Screen(8, 8)};
    const std::vector<TScreenVertex> fan = {Screen(0, 0), Screen(4, 0), Screen(8, 0), Screen(8, 8),
                                            Screen(0, 8)};
    for (const auto& [type, vertices] : {std::pair{TPrimitiveType::TriangleStrip, strip},
                                         std::pair{TPrimitiveType::TriangleFan, fan}}) {
        TDeviceFixture culled(8, 8);
        culled.device.State().cullMode = TCull::Clockwise;
        culled.DrawScreen(type, vertices);
        EXPECT_EQ(culled.Coverage(), Block(8, 8, 0, 0, 0, 0));
        TDeviceFixture drawn(8, 8);
        drawn.DrawScreen(type, vertices);
        EXPECT_EQ(drawn.Coverage(), Block(8, 8, 0, 0, 8, 8));
    }
}

TEST(TRasterizer, LinesDrawCentresInTheHalfOpenRangeOnTheRoundedRow)
{
    struct Case
    {
        float x0, y0, x1, y1;
        const char* row; // row 2 of a 10-wide surface, or "-" when that row stays empty
        int rowIndex;
    };
    const Case cases[] = {
        {2.0f, 2.0f, 6.0f, 2.0f, "..1111....", 2},   // [2, 6)
        {6.0f, 2.0f, 2.0f, 2.0f, "..1111....", 2},   // either direction
        {1.5f, 2.25f, 5.5f, 2.25f, "..1111....", 2}, // [1.5, 5.5): centres 2..5
        {1.75f, 2.49f, 2.75f, 2.49f, "..1.......", 2},
        {1.75f, 2.5f, 2.75f, 2.5f, "..1.......", 3}, // halves round down the screen
        {-3.0f, 1.6f, 3.0f, 1.6f, "111.......", 2},  // cut to the surface
        {4.0f, 2.0f, 4.0f, 2.0f, "..........", 2},   // no length
        {3.0f, 2.0f, 3.5f, 2.0f, "...1......", 2},
    };
    for (const Case& c : cases) {
        TDeviceFixture fixture(10, 5);
        fixture.DrawScreen(TPrimitiveType::LineList, {Screen(c.x0, c.y0), Screen(c.x1, c.y1)});
        const std::string coverage = fixture.Coverage();
        const std::string row = coverage.substr(static_cast<size_t>(11 * c.rowIndex), 10);
        EXPECT_EQ(row, c.row) << c.x0 << "," << c.y0 << " - " << c.x1 << "," << c.y1;
        // Nothing is drawn beside the expected row.
        EXPECT_EQ(std::count(coverage.begin(), coverage.end(), '1'),
                  std::count(c.row, c.row + 10, '1'));
    }
}

TEST(TRasterizer, SteepAndDiagonalLinesStepTheMajorAxis)
{
    TDeviceFixture fixture(6, 6);
    fixture.DrawScreen(TPrimitiveType::LineList,
                       {Screen(1, 0, 0x01010101u), Screen(1, 4),  // vertical: rows 0..3
                        Screen(2, 1), Screen(6, 5),               // diagonal: (2,1)..(5,4)
                        Screen(5.4f, 4.6f), Screen(5.4f, 5.6f)}); // x rounds to 5: row 5
    EXPECT_EQ(fixture.Coverage(), ".1....\n"
                                  ".11...\n"
                                  ".1.1..\n"
                                  ".1..1.\n"
                                  ".....1\n"
                                  ".....1\n");
}

TEST(TRasterizer, LineStripsShareTheirEndsWithoutDrawingThemTwice)
{
    TDeviceFixture fixture(8, 3);
    fixture.DrawScreen(TPrimitiveType::LineStrip,
                       {Screen(0, 1), Screen(3, 1), Screen(6, 1), Screen(6, 2)});
    EXPECT_EQ(fixture.Coverage(), "........\n"
                                  "1111111.\n"
                                  "........\n");
}

TEST(TRasterizer, PointsRoundToTheNearestPixelCentre)
{
    TDeviceFixture fixture(4, 3);
    fixture.DrawScreen(TPrimitiveType::PointList,
                       {Screen(0.49f, 0.0f), Screen(1.5f, 1.49f), Screen(2.51f, 1.51f),
                        Screen(-0.6f, 0.0f), Screen(3.7f, 2.2f)});
    EXPECT_EQ(fixture.Coverage(), "1...\n"
                                  "..1.\n"
                                  "...1\n");
}

TEST(TRasterizer, GouraudColoursAreTakenAtPixelCentres)
{
    // Blue 0 at x = -0.5 and 200 at x = 3.5: the centres 0..3 get 25, 75, 125, 175.
    TDeviceFixture fixture(4, 1);
    fixture.device.State().alphaBlendEnable = false;
    fixture.DrawScreen(TPrimitiveType::TriangleFan,
                       {Screen(-0.5f, -0.5f, 0xFF000000u), Screen(3.5f, -0.5f, 0xFF0000C8u),
                        Screen(3.5f, 0.5f, 0xFF0000C8u), Screen(-0.5f, 0.5f, 0xFF000000u)});
    const uint32_t expected[] = {0xFF000019u, 0xFF00004Bu, 0xFF00007Du, 0xFF0000AFu};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(fixture.target.At(x, 0), expected[x]) << x;

    // Flat shading takes the first vertex.
    TDeviceFixture flat(4, 1);
    flat.device.State().alphaBlendEnable = false;
    flat.device.State().shadeMode = TShade::Flat;
    flat.DrawScreen(
        TPrimitiveType::TriangleList,
        {Screen(-1, -1, 0xFF0000C8u), Screen(10, -1, 0xFF000000u), Screen(-1, 10, 0xFF000011u)});
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(flat.target.At(x, 0), 0xFF0000C8u) << x;
}

TEST(TRasterizer, FarAndInvalidPositionsDropTheirPrimitive)
{
    TDeviceFixture fixture(4, 4);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    fixture.DrawScreen(TPrimitiveType::TriangleList, {Screen(0, 0), Screen(nan, 0), Screen(0, 4),
                                                      Screen(0, 0), Screen(4e7f, 0), Screen(0, 4)});
    fixture.DrawScreen(TPrimitiveType::LineList, {Screen(0, 1), Screen(nan, 1)});
    EXPECT_EQ(fixture.Coverage(), Block(4, 4, 0, 0, 0, 0));
}

} // namespace
