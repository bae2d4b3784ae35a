#include "engine/foundation/math/TRect.h"

#include <algorithm>

void TRect::Union(const TRect& a, const TRect& b)
{
    *this = TRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom));
}

void TRect::Intersect(const TRect& a, const TRect& b)
{
    *this = TRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom));
}
