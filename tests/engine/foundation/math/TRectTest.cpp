#include "engine/foundation/math/TRect.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const TRect& r, int left, int top, int right, int bottom)
{
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(TRect, ContainsUnionIntersect)
{
    const TRect r(10, 20, 30, 40);
    struct Point
    {
        int x, y;
        bool inside;
    };
    const Point points[] = {{10, 20, true},  {29, 39, true}, {30, 20, false},
                            {10, 40, false}, {9, 25, false}, {15, 19, false}};
    for (const Point& p : points)
        EXPECT_EQ(r.Contains(p.x, p.y), p.inside) << p.x << "," << p.y;

    TRect u;
    u.Union(r, TRect(0, 30, 15, 50));
    ExpectRect(u, 0, 20, 30, 50);

    TRect i;
    i.Intersect(r, TRect(25, 0, 100, 25));
    ExpectRect(i, 25, 20, 30, 25);

    TRect none;
    none.Intersect(r, TRect(50, 50, 60, 60));
    EXPECT_LT(none.right, none.left);
    EXPECT_LT(none.bottom, none.top);
    for (int x = 0; x < 70; x += 3)
        for (int y = 0; y < 70; y += 3)
            EXPECT_FALSE(none.Contains(x, y));
}

} // namespace
