#include "engine/graphics/device/TRasterizer.h"

#include "engine/graphics/device/FixedPoint.h"
#include "engine/graphics/device/PixelMath.h"
#include "engine/graphics/device/TPixelPipeline.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr int64_t kSubPixels = 256; // positions are snapped to 1/256 pixel
constexpr double kPositionLimit = 1048576.0;

// Steps floor(n / d) along rows, n growing by a fixed amount per row, without dividing.
class TEdgeWalker
{
public:
    void Start(int64_t numerator, int64_t denominator, int64_t step)
    {
        mDenominator = denominator;
        mQuotient = FloorDiv(numerator, denominator);
        mRemainder = numerator - mQuotient * denominator;
        mQuotientStep = FloorDiv(step, denominator);
        mRemainderStep = step - mQuotientStep * denominator;
    }
    void Next()
    {
        mQuotient += mQuotientStep;
        mRemainder += mRemainderStep;
        if (mRemainder >= mDenominator) {
            mRemainder -= mDenominator;
            ++mQuotient;
        }
    }
    int64_t Floor() const { return mQuotient; }
    int64_t Ceil() const { return mQuotient + (mRemainder != 0 ? 1 : 0); }

private:
    int64_t mDenominator = 1;
    int64_t mQuotient = 0;
    int64_t mRemainder = 0;
    int64_t mQuotientStep = 0;
    int64_t mRemainderStep = 0;
};

// One edge of a convex polygon as the half-plane A x + B y + C >= bias (positions in
// fixed point); bias 0 keeps centres on a top or left edge, 1 drops them.
struct TEdge
{
    int64_t a = 0;
    int64_t b = 0;
    int64_t c = 0;
    int64_t bias = 0;
    TEdgeWalker walker; // the bound on x, for edges that are not horizontal
};

TAttributePlane Plane(const double* x, const double* y, const double* value, double det)
{
    TAttributePlane plane;
    const double d1 = value[1] - value[0];
    const double d2 = value[2] - value[0];
    plane.dx = (d1 * (y[2] - y[0]) - d2 * (y[1] - y[0])) / det;
    plane.dy = (d2 * (x[1] - x[0]) - d1 * (x[2] - x[0])) / det;
    plane.atOrigin = value[0] - plane.dx * x[0] - plane.dy * y[0];
    return plane;
}

// The plane that changes along one axis only: value(q) = from + (q - origin) * slope.
TAttributePlane AxisPlane(double from, double to, double origin, double length, bool alongX)
{
    TAttributePlane plane;
    const double slope = (to - from) / length;
    plane.atOrigin = from - origin * slope;
    (alongX ? plane.dx : plane.dy) = slope;
    return plane;
}

template <class TPoint> int64_t TwiceArea(const TPoint& a, const TPoint& b, const TPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

TAttributePlane Constant(double value)
{
    return {value, 0.0, 0.0};
}

} // namespace

TRasterizer::TRasterizer(TPixelPipeline& pipeline, const TRect& scissor, TCull cull, TShade shade)
    : mPipeline(pipeline), mScissor(scissor), mCull(cull), mShade(shade)
{
}

bool TRasterizer::Snap(const TRasterVertex& vertex, TFixed& point)
{
    // Written so that NaN fails too.
    if (!vertex.valid || !(std::fabs(vertex.x) < kPositionLimit) ||
        !(std::fabs(vertex.y) < kPositionLimit))
        return false;
    point.x = RoundToInteger(static_cast<double>(vertex.x) * kSubPixels);
    point.y = RoundToInteger(static_cast<double>(vertex.y) * kSubPixels);
    return true;
}

bool TRasterizer::IsCulled(int64_t twiceArea) const
{
    // With y growing downwards a positive area means clockwise on the screen.
    return (mCull == TCull::Clockwise && twiceArea > 0) ||
           (mCull == TCull::CounterClockwise && twiceArea < 0);
}

void TRasterizer::SetColor(TPrimitiveAttributes& attributes, const TRasterVertex& first,
                           bool sameColors) const
{
    attributes.flatColor = mShade == TShade::Flat || sameColors;
    attributes.color = first.diffuse;
}

void TRasterizer::SetTriangleAttributes(const TRasterVertex& a, const TRasterVertex& b,
                                        const TRasterVertex& c, const TFixed* points)
{
    double x[3];
    double y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = static_cast<double>(points[i].x) / kSubPixels;
        y[i] = static_cast<double>(points[i].y) / kSubPixels;
    }
    const double det = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    TPrimitiveAttributes& attributes = mAttributes;
    if (mPipeline.IsSampling()) {
        const double u[3] = {a.u, b.u, c.u};
        const double v[3] = {a.v, b.v, c.v};
        attributes.u = Plane(x, y, u, det);
        attributes.v = Plane(x, y, v, det);
    }
    SetColor(attributes, a, a.diffuse == b.diffuse && a.diffuse == c.diffuse);
    if (!attributes.flatColor) {
        for (int channel = 0; channel < 4; ++channel) {
            const int shift = 8 * channel;
            const double values[3] = {double(Channel(a.diffuse, shift)),
                                      double(Channel(b.diffuse, shift)),
                                      double(Channel(c.diffuse, shift))};
            attributes.channels[channel] = Plane(x, y, values, det);
        }
    }
    mPipeline.SetAttributes(attributes);
}

void TRasterizer::DrawTriangle(const TRasterVertex& a, const TRasterVertex& b,
                               const TRasterVertex& c)
{
    TFixed points[3];
    if (!Snap(a, points[0]) || !Snap(b, points[1]) || !Snap(c, points[2]))
        return;
    FillShaded(a, b, c, points, 3);
}

void TRasterizer::FillShaded(const TRasterVertex& a, const TRasterVertex& b, const TRasterVertex& c,
                             TFixed* points, int count)
{
    const int64_t twiceArea = TwiceArea(points[0], points[1], points[2]);
    if (twiceArea == 0 || IsCulled(twiceArea))
        return;
    SetTriangleAttributes(a, b, c, points);
    if (twiceArea < 0) // the corners the other way round, the first staying first
        std::swap(points[1], points[count - 1]);
    FillConvex(points, count);
}

bool TRasterizer::HasEvenColors(const TRasterVertex& a, const TRasterVertex& b,
                                const TRasterVertex& c, const TRasterVertex& d) const
{
    if (mShade == TShade::Flat)
        return true; // both triangles take a's colour
    for (int shift = 0; shift < 32; shift += 8)
        if (Channel(a.diffuse, shift) + Channel(c.diffuse, shift) !=
            Channel(b.diffuse, shift) + Channel(d.diffuse, shift))
            return false;
    return true;
}

bool TRasterizer::FillParallelogram(const TRasterVertex& a, const TRasterVertex& b,
                                    const TRasterVertex& c, const TRasterVertex& d)
{
    TFixed points[4];
    if (!Snap(a, points[0]) || !Snap(b, points[1]) || !Snap(c, points[2]) || !Snap(d, points[3]))
        return false;
    const bool parallelogram = points[0].x + points[2].x == points[1].x + points[3].x &&
                               points[0].y + points[2].y == points[1].y + points[3].y;
    const bool even = a.u + c.u == b.u + d.u && a.v + c.v == b.v + d.v && HasEvenColors(a, b, c, d);
    if (!parallelogram || !even)
        return false;
    // Both triangles of a parallelogram have the same orientation and area.
    FillShaded(a, b, c, points, 4);
    return true;
}

void TRasterizer::DrawQuad(const TRasterVertex& a, const TRasterVertex& b, const TRasterVertex& c,
                           const TRasterVertex& d)
{
    if (FillParallelogram(a, b, c, d))
        return;
    DrawTriangle(a, b, c);
    DrawTriangle(a, c, d);
}

void TRasterizer::DrawTrianglePair(const TRasterVertex* first[3], const TRasterVertex* second[3])
{
    // The vertex of each triangle that the other lacks; the two share the rest.
    int own = -1, other = -1, shared = 0;
    for (int i = 0; i < 3; ++i) {
        const bool inSecond =
            first[i] == second[0] || first[i] == second[1] || first[i] == second[2];
        shared += inSecond ? 1 : 0;
        if (!inSecond)
            own = i;
        if (second[i] != first[0] && second[i] != first[1] && second[i] != first[2])
            other = i;
    }
    if (shared == 2 && own >= 0 && other >= 0) {
        // Around the quad: the first's own vertex, the shared edge's ends with the
        // second's own vertex between them.
        const TRasterVertex& p = *first[own];
        const TRasterVertex& q = *first[(own + 1) % 3];
        const TRasterVertex& r = *first[(own + 2) % 3];
        const TRasterVertex& o = *second[other];
        TFixed f[3], g[3];
        bool snapped = true;
        for (int i = 0; i < 3; ++i)
            snapped = snapped && Snap(*first[i], f[i]) && Snap(*second[i], g[i]);
        const bool sameTurn =
            snapped && (TwiceArea(f[0], f[1], f[2]) > 0) == (TwiceArea(g[0], g[1], g[2]) > 0);
        const bool sameFlatColor =
            mShade != TShade::Flat || first[0]->diffuse == second[0]->diffuse;
        if (sameTurn && sameFlatColor && FillParallelogram(p, q, o, r))
            return;
    }
    DrawTriangle(*first[0], *first[1], *first[2]);
    DrawTriangle(*second[0], *second[1], *second[2]);
}

void TRasterizer::FillConvex(const TFixed* points, int count)
{
    int64_t top = points[0].y;
    int64_t bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
    }
    int64_t first = std::max<int64_t>(mScissor.top, CeilDiv(top, kSubPixels));
    int64_t last = std::min<int64_t>(mScissor.bottom - 1, FloorDiv(bottom, kSubPixels));
    if (first > last)
        return;

    // Horizontal edges only cut the rows and vertical ones give a fixed bound on x; the
    // others (slanted) bound x differently on every row and are stepped.
    TEdge edges[4];
    for (int i = 0; i < count; ++i) {
        const TFixed& from = points[i];
        const TFixed& to = points[(i + 1) % count];
        TEdge& edge = edges[i];
        edge.a = from.y - to.y;
        edge.b = to.x - from.x;
        edge.c = -(edge.a * from.x + edge.b * from.y);
        // The inside lies where A x + B y + C grows: a left edge when A > 0, a top edge
        // when it is horizontal with the inside below.
        const bool topLeft = edge.a > 0 || (edge.a == 0 && edge.b > 0);
        edge.bias = topLeft ? 0 : 1;
        if (edge.a != 0)
            continue;
        // B y + C >= bias with y = 256 row, C = -B from.y: a top edge (B > 0) keeps the rows
        // from ceil(from.y / 256) on, a bottom one those before it.
        if (edge.b > 0)
            first = std::max(first, CeilDiv(from.y, kSubPixels));
        else if (edge.b < 0)
            last = std::min(last, CeilDiv(from.y, kSubPixels) - 1);
        else
            return; // two corners in one place: an empty polygon
    }
    if (first > last)
        return;

    int64_t left = mScissor.left;
    int64_t right = mScissor.right - 1;
    TEdge* slanted[4];
    int slantedCount = 0;
    const int64_t firstRow = first * kSubPixels;
    for (int i = 0; i < count; ++i) {
        TEdge& edge = edges[i];
        if (edge.a != 0 && edge.b == 0) {
            // Vertical, at x = from.x (C = -A from.x): a left edge (A > 0) keeps the columns
            // from ceil(from.x / 256) on, a right one those before it.
            const int64_t x = points[i].x;
            if (edge.a > 0)
                left = std::max(left, CeilDiv(x, kSubPixels));
            else
                right = std::min(right, CeilDiv(x, kSubPixels) - 1);
            continue;
        }
        // A > 0: x >= ceil((bias - B y - C) / (256 A)); A < 0: x <= floor((B y + C - bias) /
        // (-256 A)); y steps by 256 per row.
        if (edge.a > 0)
            edge.walker.Start(edge.bias - edge.b * firstRow - edge.c, kSubPixels * edge.a,
                              -kSubPixels * edge.b);
        else if (edge.a < 0)
            edge.walker.Start(edge.b * firstRow + edge.c - edge.bias, -kSubPixels * edge.a,
                              kSubPixels * edge.b);
        else
            continue;
        slanted[slantedCount++] = &edge;
    }
    if (left > right)
        return;

    for (int64_t row = first; row <= last; ++row) {
        int64_t rowLeft = left;
        int64_t rowRight = right;
        for (int i = 0; i < slantedCount; ++i) {
            TEdge& edge = *slanted[i];
            if (edge.a > 0)
                rowLeft = std::max(rowLeft, edge.walker.Ceil());
            else
                rowRight = std::min(rowRight, edge.walker.Floor());
            edge.walker.Next();
        }
        if (rowLeft <= rowRight)
            mPipeline.DrawSpan(static_cast<int>(row), static_cast<int>(rowLeft),
                               static_cast<int>(rowRight + 1));
    }
}

void TRasterizer::DrawLine(const TRasterVertex& a, const TRasterVertex& b)
{
    TFixed from;
    TFixed to;
    if (!Snap(a, from) || !Snap(b, to) || (from.x == to.x && from.y == to.y))
        return;
    const bool alongX = std::abs(to.x - from.x) >= std::abs(to.y - from.y);
    // The attributes change along the major axis only.
    const double origin = static_cast<double>(alongX ? from.x : from.y) / kSubPixels;
    const double length = static_cast<double>(alongX ? to.x - from.x : to.y - from.y) / kSubPixels;
    TPrimitiveAttributes& attributes = mAttributes;
    if (mPipeline.IsSampling()) {
        attributes.u = AxisPlane(a.u, b.u, origin, length, alongX);
        attributes.v = AxisPlane(a.v, b.v, origin, length, alongX);
    }
    SetColor(attributes, a, a.diffuse == b.diffuse);
    if (!attributes.flatColor)
        for (int channel = 0; channel < 4; ++channel)
            attributes.channels[channel] =
                AxisPlane(Channel(a.diffuse, 8 * channel), Channel(b.diffuse, 8 * channel), origin,
                          length, alongX);
    mPipeline.SetAttributes(attributes);

    // In major and minor terms, the ends ordered along the major axis.
    TFixed start = from, end = to;
    if ((alongX ? to.x - from.x : to.y - from.y) < 0)
        std::swap(start, end);
    const int64_t major0 = alongX ? start.x : start.y;
    const int64_t major1 = alongX ? end.x : end.y;
    const int64_t minor0 = alongX ? start.y : start.x;
    const int64_t minor1 = alongX ? end.y : end.x;
    // The pixels whose centres lie in [major0, major1), cut to the scissor.
    const int64_t limitLow = alongX ? mScissor.left : mScissor.top;
    const int64_t limitHigh = alongX ? mScissor.right : mScissor.bottom;
    const int64_t first = std::max(limitLow, CeilDiv(major0, kSubPixels));
    const int64_t stop = std::min(limitHigh, CeilDiv(major1, kSubPixels));
    if (first >= stop)
        return;
    const int64_t minorLow = alongX ? mScissor.top : mScissor.left;
    const int64_t minorHigh = alongX ? mScissor.bottom : mScissor.right;
    const auto draw = [&](int64_t majorFirst, int64_t majorEnd, int64_t at) {
        if (at < minorLow || at >= minorHigh)
            return;
        if (alongX)
            mPipeline.DrawSpan(static_cast<int>(at), static_cast<int>(majorFirst),
                               static_cast<int>(majorEnd));
        else
            for (int64_t y = majorFirst; y < majorEnd; ++y)
                mPipeline.DrawSpan(static_cast<int>(y), static_cast<int>(at),
                                   static_cast<int>(at + 1));
    };
    // The minor pixel at major pixel p: floor(minor(p) + 1/2), with minor(p) = minor0 +
    // (256 p - major0) (minor1 - minor0) / (major1 - major0), stepped without dividing.
    if (minor0 == minor1) { // one row (or column) for the whole line
        draw(first, stop, FloorDiv(minor0 + kSubPixels / 2, kSubPixels));
        return;
    }
    const int64_t span = major1 - major0;
    TEdgeWalker minor;
    minor.Start(minor0 * span + (first * kSubPixels - major0) * (minor1 - minor0) +
                    span * kSubPixels / 2,
                span * kSubPixels, kSubPixels * (minor1 - minor0));
    int64_t runStart = first;
    int64_t runAt = minor.Floor();
    for (int64_t p = first + 1; p < stop; ++p) {
        minor.Next();
        if (minor.Floor() == runAt)
            continue;
        draw(runStart, p, runAt);
        runStart = p;
        runAt = minor.Floor();
    }
    draw(runStart, stop, runAt);
}

void TRasterizer::DrawPoint(const TRasterVertex& a)
{
    TFixed point;
    if (!Snap(a, point))
        return;
    const int64_t x = FloorDiv(point.x + kSubPixels / 2, kSubPixels);
    const int64_t y = FloorDiv(point.y + kSubPixels / 2, kSubPixels);
    if (!mScissor.Contains(static_cast<int>(x), static_cast<int>(y)))
        return;
    TPrimitiveAttributes& attributes = mAttributes;
    attributes.u = Constant(a.u);
    attributes.v = Constant(a.v);
    SetColor(attributes, a, true);
    mPipeline.SetAttributes(attributes);
    mPipeline.DrawSpan(static_cast<int>(y), static_cast<int>(x), static_cast<int>(x + 1));
}
