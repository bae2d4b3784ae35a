#pragma once

// The kinds of primitive the device draws, numbered as callers pass them.
enum class TPrimitiveType : int
{
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};
