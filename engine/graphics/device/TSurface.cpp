#include "engine/graphics/device/TSurface.h"

#include <algorithm>
#include <cstring>

namespace {

// rect cut to bounds; empty (right <= left or bottom <= top) when nothing is left.
TRect Cut(const TRect& rect, const TRect& bounds)
{
    TRect cut;
    cut.Intersect(rect, bounds);
    return cut;
}

bool IsEmptyRect(const TRect& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

} // namespace

TSurface::TSurface(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    mWidth = width;
    mHeight = height;
    mPixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
}

void TSurface::Fill(const TRect& rect, uint32_t pixel)
{
    const TRect cut = Cut(rect, GetBounds());
    if (IsEmptyRect(cut))
        return;
    for (int y = cut.top; y < cut.bottom; ++y)
        std::fill(Row(y) + cut.left, Row(y) + cut.right, pixel);
}

void TSurface::Copy(const TSurface& source, const TRect& sourceRect, int x, int y)
{
    TRect from = Cut(sourceRect, source.GetBounds());
    // Move the destination corner along with what the cut took off the source.
    x += from.left - sourceRect.left;
    y += from.top - sourceRect.top;
    const TRect to =
        Cut(TRect(x, y, x + (from.right - from.left), y + (from.bottom - from.top)), GetBounds());
    if (IsEmptyRect(from) || IsEmptyRect(to))
        return;
    from.left += to.left - x;
    from.top += to.top - y;
    const size_t bytes = static_cast<size_t>(to.right - to.left) * sizeof(uint32_t);
    for (int row = 0; row < to.bottom - to.top; ++row)
        std::memmove(Row(to.top + row) + to.left, source.Row(from.top + row) + from.left, bytes);
}

void TSurface::MakeOpaque(const TRect& rect)
{
    const TRect cut = Cut(rect, GetBounds());
    if (IsEmptyRect(cut))
        return;
    for (int y = cut.top; y < cut.bottom; ++y)
        for (uint32_t* p = Row(y) + cut.left; p != Row(y) + cut.right; ++p)
            *p |= 0xFF000000u;
}
