#include "engine/graphics/vector/TOutlineScanner.h"

#include "tests/engine/graphics/vector/ScanTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using TCoverage = std::map<std::pair<int, int>, int>;

// Coverage of every pixel of rows [top, bottom) and columns [left, right), with full
// columns of value inside and edge columns as given.
TCoverage Block(int top, int bottom, int left, int right, int value)
{
    TCoverage coverage;
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column)
            coverage[{row, column}] = value;
    return coverage;
}

TEST(TOutlineScanner, ShapesOnTheQuarterGridCoverExactly)
{
    struct TCase
    {
        const char* what;
        std::vector<uint8_t> outline;
        int phaseX, phaseY;
        TCoverage expected;
    };
    TCoverage halfEdges = Block(0, 4, 1, 4, 16);
    for (int row = 0; row < 4; ++row)
        halfEdges[{row, 0}] = halfEdges[{row, 4}] = 8;
    const TCoverage thinStrip = Block(0, 1, 0, 4, 4); // one sub-scanline of four pixels
    const TCase cases[] = {
        {"a 4x4-pixel square", QuarterRectangle(0, 0, 16, 16), 0, 0, Block(0, 4, 0, 4, 16)},
        {"the square half a pixel to the right", QuarterRectangle(0, 0, 16, 16), 2, 0, halfEdges},
        {"one quarter column of one sub-scanline",
         QuarterRectangle(0, 0, 1, 1),
         0,
         0,
         {{{0, 0}, 1}}},
        {"a square above the origin", QuarterRectangle(-8, -32, 8, -16), 0, 0,
         Block(-8, -4, -2, 2, 16)},
        {"above the origin, a quarter pixel down",
         QuarterRectangle(0, -8, 4, -4),
         0,
         1,
         {{{-2, 0}, 12}, {{-1, 0}, 4}}},
        {"a sub-scanline across four pixels", QuarterRectangle(0, 0, 16, 1), 0, 0, thinStrip},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TScanParams params;
        EXPECT_EQ(Scan(c.outline, params, c.phaseX, c.phaseY).Coverage(), c.expected);
    }
}

// A disc of radius r quarter pixels, drawn with quadratic curves through the
// octagon's corners.
std::vector<uint8_t> Disc(int cx, int cy, int r)
{
    TOutlineBuilder out;
    out.FillSlot(1);
    const double k = 128.0;
    const auto at = [&](double angle, double radius, int& x, int& y) {
        x = static_cast<int>(std::lround((cx + radius * std::cos(angle)) * k));
        y = static_cast<int>(std::lround((cy + radius * std::sin(angle)) * k));
    };
    int x = 0, y = 0;
    at(0, r, x, y);
    out.MoveTo(x, y);
    for (int i = 0; i < 8; ++i) {
        const double middle = (i + 0.5) * M_PI / 4;
        int controlX = 0, controlY = 0;
        at(middle, r / std::cos(M_PI / 8), controlX, controlY);
        at((i + 1) * M_PI / 4, r, x, y);
        out.QuadTo(controlX, controlY, x, y);
    }
    return out.End().Take();
}

TEST(TOutlineScanner, CoverageAddsUpToTheArea)
{
    struct TCase
    {
        const char* what;
        std::vector<uint8_t> outline;
        double area; // quarter pixels squared: the coverage total
        double tolerance;
    };
    TOutlineBuilder triangle;
    triangle.FillSlot(1).MoveTo(0, 0).LineTo(40 * 128, 0).LineTo(0, 40 * 128).LineTo(0, 0).End();
    TOutlineBuilder ring; // a square with a square hole: even-odd
    ring.FillSlot(1)
        .Rectangle(0, 0, 40 * 128, 40 * 128)
        .Rectangle(10 * 128, 10 * 128, 30 * 128, 30 * 128)
        .End();
    TOutlineBuilder layers; // two overlapping squares in two fill layers unite
    layers.FillSlot(1)
        .Rectangle(0, 0, 24 * 128, 24 * 128)
        .NewLayer()
        .FillSlot(1)
        .Rectangle(8 * 128, 8 * 128, 32 * 128, 32 * 128)
        .End();
    const TCase cases[] = {
        {"a right triangle", triangle.Take(), 40.0 * 40.0 / 2, 40.0},
        {"a disc", Disc(50, 50, 40), M_PI * 40 * 40, 0.02 * M_PI * 40 * 40},
        {"a square ring", ring.Take(), 40.0 * 40 - 20 * 20, 0.0},
        {"two fill layers", layers.Take(), 2 * 24.0 * 24 - 16 * 16, 0.0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TRecordingSink sink = Scan(c.outline);
        EXPECT_NEAR(sink.Total(), c.area, c.tolerance);
        for (const auto& [pixel, value] : sink.Coverage())
            EXPECT_LE(value, 16); // nothing is covered twice
    }
}

TEST(TOutlineScanner, DegenerateOutlinesDrawNothing)
{
    TOutlineBuilder flat; // a move and lines inside one sub-scanline
    flat.FillSlot(1).MoveTo(0, 0).LineTo(64 * 128, 32).LineTo(0, 0).End();
    TOutlineBuilder moveOnly;
    moveOnly.FillSlot(1).MoveTo(10 * 128, 10 * 128).End();
    TOutlineBuilder noSlot; // a shape with neither a fill nor a stroke slot
    noSlot.Rectangle(0, 0, 16 * 128, 16 * 128).End();
    for (const auto* outline : {&flat.Bytes(), &moveOnly.Bytes(), &noSlot.Bytes()})
        EXPECT_TRUE(Scan(*outline).spans.empty());
}

TEST(TOutlineScanner, MalformedOutlinesEndWithoutReadingBeyondThem)
{
    const std::vector<uint8_t> square = QuarterRectangle(0, 0, 16, 16);
    struct TCase
    {
        const char* what;
        std::vector<uint8_t> outline;
        bool draws; // the square is complete before the damage
    };
    std::vector<uint8_t> unknown = square;
    unknown.back() = 0x42;
    std::vector<uint8_t> noEnd(square.begin(), square.end() - 1);
    std::vector<uint8_t> cut(square.begin(), square.end() - 1); // inside a further line
    cut.insert(cut.end(), {0x05, 0x00, 0x01});
    std::vector<uint8_t> zero = {0x00, 0x05, 0x00};
    const TCase cases[] = {
        {"an unknown command", unknown, true}, {"no end command", noEnd, true},
        {"cut inside a command", cut, true},   {"a zero byte first", zero, false},
        {"nothing at all", {}, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        // An exact-size heap copy: AddressSanitizer sees any read beyond it.
        const std::unique_ptr<uint8_t[]> bytes(new uint8_t[c.outline.size() + 1]);
        std::copy(c.outline.begin(), c.outline.end(), bytes.get());
        TOutlineScanner scanner;
        TRecordingSink sink;
        scanner.Scan(bytes.get(), c.outline.size(), TScanParams(), 0, 0, sink);
        EXPECT_EQ(sink.Total(), c.draws ? 16 * 16 : 0);
    }
}

TEST(TOutlineScanner, StrokesComeBeforeTheFillInBufferOrder)
{
    TScanParams params;
    params.outlineWidth = 1.0f;
    params.boldWidth = 0.5f;
    const TRecordingSink sink = Scan(QuarterRectangle(0, 0, 32, 32), params);
    ASSERT_FALSE(sink.spans.empty());
    for (const int buffer : {0, 1, 3})
        EXPECT_GT(sink.Total(buffer), 0) << "buffer " << buffer;
    EXPECT_EQ(sink.Total(2), 0);
    // Within each pixel row the buffers follow in the order 0, 1, 3.
    for (size_t i = 1; i < sink.spans.size(); ++i) {
        if (sink.spans[i].row == sink.spans[i - 1].row) {
            EXPECT_GE(sink.spans[i].buffer, sink.spans[i - 1].buffer);
        }
    }
    // The outline reaches a pixel beyond the square on every side; the fill does not.
    const TCoverage outline = sink.Coverage(0);
    EXPECT_GT(outline.count({-1, 3}), 0u);
    EXPECT_GT(outline.count({3, 8}), 0u);
    EXPECT_EQ(sink.Coverage(3).count({-1, 3}), 0u);
    // Without an outline width, no stroke at all.
    params.outlineWidth = 0.0f;
    const TRecordingSink fillOnly = Scan(QuarterRectangle(0, 0, 32, 32), params);
    EXPECT_EQ(fillOnly.Total(), fillOnly.Total(3));
}

TEST(TOutlineScanner, AGlyphOfManyEdgesIsDrawnOnce)
{
    // 200 separate one-pixel squares: 800 edges.
    TOutlineBuilder out;
    out.FillSlot(1);
    for (int i = 0; i < 200; ++i) {
        const int x = (i % 20) * 8;
        const int y = (i / 20) * 8;
        out.Rectangle(x * 128, y * 128, (x + 4) * 128, (y + 4) * 128);
    }
    const TRecordingSink sink = Scan(out.End().Take());
    const TCoverage coverage = sink.Coverage();
    EXPECT_EQ(coverage.size(), 200u);
    for (const auto& [pixel, value] : coverage)
        EXPECT_EQ(value, 16);
}

TEST(TOutlineScanner, ScaleItalicAndRotationShapeTheOutline)
{
    const std::vector<uint8_t> square = QuarterRectangle(0, -16, 16, 0);
    TScanParams doubled;
    doubled.xScale = doubled.yScale = 2.0f;
    EXPECT_EQ(Scan(square, doubled).Coverage(), Block(-8, 0, 0, 8, 16));
    TScanParams italic;
    italic.italic = true; // x -= y / 3: the top moves right
    const TCoverage slanted = Scan(square, italic).Coverage();
    EXPECT_EQ(slanted.count({-4, 0}), 0u);
    EXPECT_GT(slanted.count({-4, 5}), 0u);
    TScanParams quarterTurn;
    quarterTurn.cosine = 0.0f;
    quarterTurn.sine = 1.0f; // (x, y) -> (-y, x)
    EXPECT_EQ(Scan(square, quarterTurn).Coverage(), Block(0, 4, 0, 4, 16));
}

TEST(TOutlineScanner, HugeAndFarShapesStayInsideTheirTables)
{
    TScanParams huge;
    huge.xScale = huge.yScale = 1.0e6f; // the row table stops at 65536 sub-scanlines
    const TRecordingSink big = Scan(QuarterRectangle(-16, -16, 16, 16), huge);
    EXPECT_FALSE(big.spans.empty());
    for (const TSpanRecord& span : big.spans) {
        EXPECT_GE(span.start, -1600);
        EXPECT_LE(span.end, 1600);
    }
    // Entirely left of the coverage cells, or entirely below the row table: nothing.
    EXPECT_TRUE(Scan(QuarterRectangle(-20000, 0, -19000, 16)).spans.empty());
    EXPECT_TRUE(Scan(QuarterRectangle(0, 30000, 16, 31000)).spans.empty());
}

TEST(TOutlineScanner, ColoursDefinedByTheOutlineAreReported)
{
    TOutlineBuilder out;
    out.DefineColor(10, 20, 30)
        .DefineColor(40, 50, 60)
        .NewLayer()
        .FillSlot(1)
        .Rectangle(0, 0, 4 * 128, 4 * 128)
        .End();
    const TRecordingSink sink = Scan(out.Take());
    const std::vector<std::pair<int, int>> expected = {{1, 0x0A141E}, {2, 0x28323C}};
    EXPECT_EQ(sink.colours, expected);
    // Slot 1 after a new layer is slot 1 + 2 (the colours defined so far): buffer 2.
    EXPECT_EQ(sink.Total(2), 16);
}

} // namespace
