#pragma once

// A point in whole pixels; windows take their input points in their own coordinates
// (0, 0 = the window's top-left corner).
struct TPoint
{
    int x = 0;
    int y = 0;
};
