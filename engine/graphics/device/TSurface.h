#pragma once

// A block of engine pixels: 32-bit 0xAARRGGBB values stored little-endian (bytes blue,
// green, red, alpha in memory), row after row. The one pixel format of the software
// device: its back buffer, every texture and every render target are surfaces. The
// pitch is counted in pixels. A new surface is all zeros (transparent black).

#include "engine/foundation/math/TRect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TSurface
{
public:
    TSurface() = default;
    // Negative or zero sizes give an empty surface.
    TSurface(int width, int height);

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetPitch() const { return mWidth; }
    bool IsEmpty() const { return mPixels.empty(); }
    TRect GetBounds() const { return TRect(0, 0, mWidth, mHeight); }

    uint32_t* GetPixels() { return mPixels.data(); }
    const uint32_t* GetPixels() const { return mPixels.data(); }
    // Row y; y must be 0..height - 1.
    uint32_t* Row(int y) { return mPixels.data() + static_cast<size_t>(y) * mWidth; }
    const uint32_t* Row(int y) const { return mPixels.data() + static_cast<size_t>(y) * mWidth; }
    uint32_t& At(int x, int y) { return Row(y)[x]; }
    uint32_t At(int x, int y) const { return Row(y)[x]; }

    // Sets every pixel of rect, cut to the surface, to pixel.
    void Fill(const TRect& rect, uint32_t pixel);
    // Copies the pixels of sourceRect of source (cut to source) to (x, y) here, cut to
    // this surface; raw 32-bit values. source may be this surface when the areas do not
    // overlap.
    void Copy(const TSurface& source, const TRect& sourceRect, int x, int y);
    // Sets the alpha byte of every pixel of rect, cut to the surface, to 255.
    void MakeOpaque(const TRect& rect);

private:
    int mWidth = 0;
    int mHeight = 0;
    std::vector<uint32_t> mPixels;
};
