#pragma once

// Turns primitives in target pixels into spans for the pixel pipeline.
//
// Triangles: positions are snapped to 1/256 pixel; a pixel is drawn when its centre (an
// integer point) lies inside, or on a top or left edge (top-left fill rule), so two
// triangles sharing an edge never both draw a pixel of it. Two triangles that form a
// parallelogram with attributes varying evenly across it (every textured quad, as a fan
// of four or as a pair in a list) are filled as one polygon: the same pixels and values
// as the two triangles.
//
// Lines: along the major axis, the pixels whose centres lie in [min, max) of the two
// ends; the other coordinate of each is that of the line there, rounded half up
// (floor(y + 0.5)). Points: the pixel (floor(x + 0.5), floor(y + 0.5)).
//
// Everything is cut to the scissor rectangle. Attributes are taken at pixel centres:
// texture coordinates and the diffuse colour vary linearly (the colour is the first
// vertex's with flat shading). Positions further than 2^20 pixels from the origin, or
// not numbers, drop their primitive.

#include "engine/foundation/math/TRect.h"
#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TPrimitiveAttributes.h"
#include "engine/graphics/device/TRasterVertex.h"

#include <cstdint>

class TPixelPipeline;

class TRasterizer
{
public:
    // scissor must lie inside the pipeline's target and not be empty.
    TRasterizer(TPixelPipeline& pipeline, const TRect& scissor, TCull cull, TShade shade);

    void DrawTriangle(const TRasterVertex& a, const TRasterVertex& b, const TRasterVertex& c);
    // Four vertices of a triangle fan: (a, b, c) and (a, c, d).
    void DrawQuad(const TRasterVertex& a, const TRasterVertex& b, const TRasterVertex& c,
                  const TRasterVertex& d);
    // Two triangles of a list; filled as one polygon when they share an edge and make a
    // parallelogram with attributes varying evenly (the same pixels and values).
    void DrawTrianglePair(const TRasterVertex* first[3], const TRasterVertex* second[3]);
    void DrawLine(const TRasterVertex& a, const TRasterVertex& b);
    void DrawPoint(const TRasterVertex& a);

private:
    struct TFixed
    {
        int64_t x = 0;
        int64_t y = 0;
    };

    static bool Snap(const TRasterVertex& vertex, TFixed& point);
    bool IsCulled(int64_t twiceArea) const;
    bool HasEvenColors(const TRasterVertex& a, const TRasterVertex& b, const TRasterVertex& c,
                       const TRasterVertex& d) const;
    // The attributes of the plane through the three vertices at their snapped points.
    void SetTriangleAttributes(const TRasterVertex& a, const TRasterVertex& b,
                               const TRasterVertex& c, const TFixed* points);
    void SetColor(TPrimitiveAttributes& attributes, const TRasterVertex& first,
                  bool sameColors) const;
    // Fills a, b, c, d (in order around) as one polygon when they make a parallelogram
    // with attributes varying evenly across it; false (nothing drawn) when they do not.
    bool FillParallelogram(const TRasterVertex& a, const TRasterVertex& b, const TRasterVertex& c,
                           const TRasterVertex& d);
    // Culls, shades from a, b, c and fills the convex polygon points[0..count) (a, b and
    // c at its first three corners).
    void FillShaded(const TRasterVertex& a, const TRasterVertex& b, const TRasterVertex& c,
                    TFixed* points, int count);
    // Fills the convex polygon points[0..count) (3 or 4 corners, positive orientation).
    void FillConvex(const TFixed* points, int count);

    TPixelPipeline& mPipeline;
    TRect mScissor;
    TCull mCull;
    TShade mShade;
    // The attributes handed to the pipeline, one block for every primitive (what a
    // primitive does not set, the pipeline does not read).
    TPrimitiveAttributes mAttributes;
};
