#pragma once

// An integer rectangle; right and bottom are exclusive. Rectangles are never normalised:
// one with right <= left or bottom <= top is empty and contains no point.

struct TRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    TRect() = default;
    TRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    // this = the smallest rectangle holding a and b (both taken as given, empty or not).
    void Union(const TRect& a, const TRect& b);
    // this = the common part of a and b; may come out empty or inverted, and is left so.
    void Intersect(const TRect& a, const TRect& b);
};
