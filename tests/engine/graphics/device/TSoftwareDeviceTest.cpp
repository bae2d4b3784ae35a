#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TSurface RandomPattern(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    TSurface surface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface.At(x, y) = static_cast<uint32_t>(random()) | 0xFF000000u;
    return surface;
}

// Opaque copying: no blending, no alpha test, texture times white.
void SetCopying(TSoftwareDevice& device)
{
    device.State().alphaBlendEnable = false;
    device.State().alphaTestEnable = false;
    device.State().addressU = TAddress::Clamp;
    device.State().addressV = TAddress::Clamp;
}

TEST(TSoftwareDevice, AQuadOnTexelCentresCopiesItsTextureExactly)
{
    const TSurface texture = RandomPattern(16, 8, 1);
    for (TFilter filter : {TFilter::Point, TFilter::Linear}) {
        TDeviceFixture fixture(24, 12);
        SetCopying(fixture.device);
        fixture.device.State().magFilter = filter;
        fixture.device.State().minFilter = filter;
        fixture.device.SetTexture(&texture, true);
        // Pixel i spans [i - 0.5, i + 0.5): the image's corners go half a pixel up-left.
        fixture.DrawScreen(TPrimitiveType::TriangleFan,
                           ScreenQuad(3 - 0.5f, 2 - 0.5f, 19 - 0.5f, 10 - 0.5f, 0xFFFFFFFFu));
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 24; ++x) {
                const bool inside = x >= 3 && x < 19 && y >= 2 && y < 10;
                ASSERT_EQ(fixture.target.At(x, y), inside ? texture.At(x - 3, y - 2) : 0u)
                    << "filter " << int(filter) << " at " << x << "," << y;
            }
    }
}

// The 2D projection the display handler derives, for a viewport of width x height and
// texel offset t: x maps to viewport.left + x + t.
TMat4 Projection(float width, float height, float t)
{
    const float l = -t, r = width - t, top = -t, b = height - t;
    TMat4 m;
    m.At(0, 0) = 2.0f / (r - l);
    m.At(1, 1) = 2.0f / (top - b);
    m.At(3, 0) = (l + r) / (l - r);
    m.At(3, 1) = (top + b) / (b - top);
    return m;
}

TEST(TSoftwareDevice, LitVerticesGoThroughTheTransformsIntoTheViewport)
{
    TDeviceFixture fixture(12, 10);
    TDeviceState& state = fixture.device.State();
    state.viewport = {2, 3, 8, 6, 0.0f, 1.0f};
    state.projection = Projection(8, 6, -0.5f);
    state.world.At(3, 0) = 1.0f; // world moves x by 1, view scales by 2
    state.view.At(0, 0) = 2.0f;
    state.view.At(1, 1) = 2.0f;
    const std::vector<TLitVertex> quad = [] {
        std::vector<TLitVertex> v(4);
        const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int i = 0; i < 4; ++i) {
            v[i].x = corners[i][0];
            v[i].y = corners[i][1];
            v[i].diffuse = 0x01010101u;
        }
        return v;
    }();
    fixture.device.DrawPrimitive(TPrimitiveType::TriangleFan, quad.data(), 4);
    // (0, 0)-(1, 1) -> world (1, 0)-(2, 1) -> view (2, 0)-(4, 2) -> pixels 4..5 x 3..4.
    EXPECT_EQ(fixture.Coverage(), "............\n"
                                  "............\n"
                                  "............\n"
                                  "....11......\n"
                                  "....11......\n"
                                  "............\n"
                                  "............\n"
                                  "............\n"
                                  "............\n"
                                  "............\n");
}

TEST(TSoftwareDevice, EverythingIsCutToTheViewport)
{
    struct Case
    {
        TViewport viewport;
        TRect drawn;
    };
    const Case cases[] = {
        {{2, 1, 3, 2, 0, 1}, TRect(2, 1, 5, 3)},
        {{-4, -4, 6, 6, 0, 1}, TRect(0, 0, 2, 2)},
        {{5, 5, 9, 9, 0, 1}, TRect(5, 5, 8, 6)},
        {{3, 2, 0, 4, 0, 1}, TRect()}, // empty: nothing at all
        {{3, 2, 2, 0, 0, 1}, TRect()},
    };
    for (const Case& c : cases) {
        TDeviceFixture fixture(8, 6);
        fixture.device.State().viewport = c.viewport;
        fixture.DrawScreen(TPrimitiveType::TriangleFan, ScreenQuad(-10, -10, 20, 20));
        fixture.DrawScreen(TPrimitiveType::LineList, {Screen(-10, 5), Screen(20, 5)});
        fixture.DrawScreen(TPrimitiveType::PointList, {Screen(0, 0), Screen(7, 5)});
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(fixture.target.At(x, y) != 0, c.drawn.Contains(x, y))
                    << c.viewport.x << "," << c.viewport.y << " " << c.viewport.width << "x"
                    << c.viewport.height << " at " << x << "," << y;
    }
}

TEST(TSoftwareDevice, IndexedPrimitivesMatchTheirVerticesAndSkipBadIndices)
{
    const std::vector<TScreenVertex> vertices = {Screen(0, 0), Screen(8, 0), Screen(8, 6),
                                                 Screen(0, 6), Screen(4, 3)};
    const std::vector<uint16_t> indices = {0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0, 4};
    TDeviceFixture indexed(8, 6);
    indexed.device.DrawIndexedPrimitive(TPrimitiveType::TriangleList, vertices.data(), 5,
                                        indices.data(), 12);
    std::vector<TScreenVertex> expanded;
    for (uint16_t index : indices)
        expanded.push_back(vertices[index]);
    TDeviceFixture plain(8, 6);
    plain.DrawScreen(TPrimitiveType::TriangleList, expanded);
    EXPECT_EQ(indexed.Coverage(), plain.Coverage());

    // An index past the vertices drops its triangle only.
    const std::vector<uint16_t> bad = {0, 1, 4, 1, 2, 5, 2, 3, 4, 3, 0, 60000};
    TDeviceFixture skipped(8, 6);
    skipped.device.DrawIndexedPrimitive(TPrimitiveType::TriangleList, vertices.data(), 5,
                                        bad.data(), 12);
    EXPECT_NE(skipped.target.At(4, 1), 0u); // top triangle
    EXPECT_EQ(skipped.target.At(7, 3), 0u); // right triangle dropped
    EXPECT_NE(skipped.target.At(4, 5), 0u); // bottom triangle
    EXPECT_EQ(skipped.target.At(0, 3), 0u); // left triangle dropped
}

TEST(TSoftwareDevice, TextureAlphaFlagAndMissingTexture)
{
    TSurface texture(1, 1);
    texture.At(0, 0) = 0x00102030u;
    struct Case
    {
        const TSurface* texture;
        bool hasAlpha;
        uint32_t result;
    };
    // Colour and alpha are texture x diffuse (diffuse 0x80FFFFFF).
    const Case cases[] = {
        {&texture, false, 0x80102030u}, // read as alpha 255
        {&texture, true, 0x00102030u},
        {nullptr, true, 0x80FFFFFFu}, // no texture reads opaque white
    };
    for (const Case& c : cases) {
        TDeviceFixture fixture(2, 2);
        SetCopying(fixture.device);
        fixture.device.SetTexture(c.texture, c.hasAlpha);
        fixture.DrawScreen(TPrimitiveType::TriangleFan, ScreenQuad(-1, -1, 3, 3, 0x80FFFFFFu));
        EXPECT_EQ(fixture.target.At(1, 1), c.result);
    }
}

TEST(TSoftwareDevice, WrapAddressingRepeatsTheTexture)
{
    TSurface texture(4, 1);
    for (int x = 0; x < 4; ++x)
        texture.At(x, 0) = 0xFF000000u | static_cast<uint32_t>(x + 1);
    TDeviceFixture fixture(8, 1);
    SetCopying(fixture.device);
    fixture.device.State().addressU = TAddress::Wrap;
    fixture.device.State().magFilter = TFilter::Point;
    fixture.device.SetTexture(&texture, true);
    std::vector<TScreenVertex> quad = ScreenQuad(-0.5f, -0.5f, 7.5f, 0.5f, 0xFFFFFFFFu);
    quad[1].u = quad[2].u = 2.0f;
    fixture.DrawScreen(TPrimitiveType::TriangleFan, quad);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(fixture.target.At(x, 0), 0xFF000000u | static_cast<uint32_t>(x % 4 + 1)) << x;
}

TEST(TSoftwareDevice, StageZeroArgumentsAndOperations)
{
    TSurface texture(1, 1);
    texture.At(0, 0) = 0x80402010u;
    const uint32_t diffuse = 0x40FF8000u;
    struct Case
    {
        TTextureOp colorOp;
        TStageArg colorArg1, colorArg2;
        TTextureOp alphaOp;
        TStageArg alphaArg1;
        uint32_t result;
    };
    const TStageArg tex{TArgSource::Texture, false}, texA{TArgSource::Texture, true},
        dif{TArgSource::Diffuse, false}, difA{TArgSource::Diffuse, true},
        cur{TArgSource::Current, false}, fac{TArgSource::TFactor, false};
    const Case cases[] = {
        // T x D in colour and alpha: 0x40 * 0x80, 0x40 * 0xFF, 0x20 * 0x80, 0x10 * 0.
        {TTextureOp::Modulate, tex, cur, TTextureOp::Modulate, tex, 0x20401000u},
        // Alpha replicated grey, alpha from the factor (white): 0x80 * 0x40 = 0x20.
        {TTextureOp::Modulate, texA, difA, TTextureOp::SelectArg1, fac, 0xFF202020u},
        {TTextureOp::SelectArg1, difA, tex, TTextureOp::SelectArg1, fac, 0xFF404040u},
        {TTextureOp::SelectArg2, fac, tex, TTextureOp::SelectArg1, tex, 0x80402010u},
        {TTextureOp::SelectArg1, fac, tex, TTextureOp::SelectArg1, dif, 0x40FFFFFFu},
        {TTextureOp::Disable, tex, tex, TTextureOp::SelectArg1, tex, diffuse},
    };
    for (const Case& c : cases) {
        TDeviceFixture fixture(1, 1);
        SetCopying(fixture.device);
        TDeviceState& state = fixture.device.State();
        state.colorOp = c.colorOp;
        state.colorArg1 = c.colorArg1;
        state.colorArg2 = c.colorArg2;
        state.alphaOp = c.alphaOp;
        state.alphaArg1 = c.alphaArg1;
        state.alphaArg2 = cur;
        fixture.device.SetTexture(&texture, true);
        fixture.DrawScreen(TPrimitiveType::PointList, {Screen(0, 0, diffuse)});
        EXPECT_EQ(fixture.target.At(0, 0), c.result) << std::hex << c.result;
    }
}

// Spans draw what line lists of their ends draw, whatever the blend, alpha test, stage-0
// form and bound texture: text goes to the screen as spans.
TEST(TSoftwareDevice, SpansDrawWhatLineListsOfTheirEndsDraw)
{
    std::mt19937 random(7);
    std::vector<TDeviceSpan> spans;
    std::vector<TScreenVertex> lines;
    for (int i = 0; i < 400; ++i) {
        TDeviceSpan span;
        span.row = static_cast<int>(random() % 40) - 4;
        span.x0 = static_cast<int>(random() % 90) - 10;
        span.x1 = span.x0 + static_cast<int>(random() % (i % 10 == 0 ? 100 : 4));
        span.colour = static_cast<uint32_t>(random());
        // Runs along a row: the next span often starts where this one ends, or a pixel
        // after it (runs bridge such gaps where clear pixels leave the target as it is).
        if (i > 0 && random() % 2 == 0) {
            span.row = spans.back().row;
            span.x0 = spans.back().x1 + static_cast<int>(random() % 4) / 2;
            span.x1 = span.x0 + 1 + static_cast<int>(random() % 3);
        }
        spans.push_back(span);
        lines.push_back(Screen(float(span.x0), float(span.row), span.colour));
        lines.push_back(Screen(float(span.x1), float(span.row), span.colour));
    }
    const TSurface texture = RandomPattern(4, 4, 3);
    const TStageArg fac{TArgSource::TFactor, false}, cur{TArgSource::Current, false};
    struct TCase
    {
        const char* what;
        TBlend src, dest;
        bool test;
        bool textured;
        bool general;
    };
    const TCase cases[] = {
        {"normal blending", TBlend::SrcAlpha, TBlend::InvSrcAlpha, false, false, false},
        {"additive", TBlend::SrcAlpha, TBlend::One, false, false, false},
        {"multiplied", TBlend::Zero, TBlend::SrcColor, false, false, false},
        {"with an alpha test", TBlend::SrcAlpha, TBlend::InvSrcAlpha, true, false, false},
        {"over a texture", TBlend::SrcAlpha, TBlend::InvSrcAlpha, false, true, false},
        {"a general stage", TBlend::SrcAlpha, TBlend::InvSrcAlpha, false, false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TDeviceFixture byLines(64, 32);
        TDeviceFixture bySpans(64, 32);
        for (TDeviceFixture* fixture : {&byLines, &bySpans}) {
            fixture->target = RandomPattern(64, 32, 5);
            TDeviceState& state = fixture->device.State();
            state.viewport = {2, 1, 58, 29, 0.0f, 1.0f};
            state.srcBlend = c.src;
            state.destBlend = c.dest;
            state.alphaTestEnable = c.test;
            state.alphaFunc = TCompare::Greater;
            state.alphaRef = 0x80;
            if (c.textured)
                fixture->device.SetTexture(&texture, true);
            if (c.general) {
                state.colorOp = TTextureOp::SelectArg2;
                state.colorArg1 = fac;
                state.colorArg2 = cur;
                state.alphaOp = TTextureOp::SelectArg1;
                state.alphaArg1 = fac;
            }
        }
        byLines.DrawScreen(TPrimitiveType::LineList, lines);
        bySpans.device.DrawSpans(spans.data(), static_cast<int>(spans.size()));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(bySpans.target.At(x, y), byLines.target.At(x, y)) << x << "," << y;
    }
}

} // namespace
