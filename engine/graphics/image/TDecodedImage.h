#pragma once

// A picture decoded from an image file, in engine pixels (0xAARRGGBB, bytes blue, green,
// red, alpha in memory). The buffer is square: size x size pixels, size the smallest
// power of two not below the larger side of the picture (1 for a 1 x 1 picture), rows
// of size pixels, the picture in the top-left corner and zeros (transparent black)
// everywhere else.
//
// Sides above kMaxSide are refused before anything is allocated, whatever the file
// claims: a damaged or hostile header cannot make the decoders allocate more than
// kMaxSide^2 pixels.

#include <cstddef>
#include <cstdint>
#include <vector>

class TDecodedImage
{
public:
    static constexpr int kMaxSide = 4096;

    // The square side for a picture of width x height: 0 when either side is below 1 or
    // above kMaxSide.
    static int SquareSideFor(int64_t width, int64_t height);

    // Makes the zero-filled buffer for a picture of width x height. False (and an empty
    // image) when SquareSideFor gives 0 or memory runs out.
    bool Allocate(int64_t width, int64_t height);
    void Reset();

    // A mask picture gives this one its alpha: every alpha byte of the buffer becomes the
    // red byte of mask's pixel at the same place. Only when both buffers have the same
    // size; otherwise nothing changes and the answer is false.
    bool TakeAlphaFrom(const TDecodedImage& mask);

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetSize() const { return mSize; }
    bool HasAlpha() const { return mHasAlpha; }
    void SetHasAlpha(bool hasAlpha) { mHasAlpha = hasAlpha; }

    uint32_t* GetPixels() { return mPixels.data(); }
    const uint32_t* GetPixels() const { return mPixels.data(); }
    // Row y of the buffer (0 <= y < size).
    uint32_t* Row(int y) { return mPixels.data() + static_cast<size_t>(y) * mSize; }
    const uint32_t* Row(int y) const { return mPixels.data() + static_cast<size_t>(y) * mSize; }

private:
    std::vector<uint32_t> mPixels;
    int mWidth = 0;
    int mHeight = 0;
    int mSize = 0;
    bool mHasAlpha = false;
};
