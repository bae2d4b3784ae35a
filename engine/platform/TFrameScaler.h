#pragma once

// Stretches a finished frame over a target of another size, as a full-screen window shows
// the game's frame: every target pixel is the bilinear blend of the four frame pixels
// around the point it stands for, the frame's edge pixels repeated beyond its border.
// Target pixel x stands for frame point (x + 0.5) * frameWidth / targetWidth - 0.5 (and
// likewise down), so the frame's centre lands on the target's centre and its corners on
// the target's corners.
// Pixels are 0xAARRGGBB; the frame's alpha bytes mean nothing on a screen, so every
// target pixel comes out opaque (alpha 0xFF). Equal sizes copy the frame as it is.
//
// The per-column and per-row positions are worked out once for a pair of sizes
// (SetSizes); Scale then only blends. No thread of its own; one caller at a time.

#include <cstdint>
#include <vector>

class TFrameScaler
{
public:
    // Where a target pixel takes its colour along one side: frame pixels index and
    // index + 1 (the same pixel at the frame's far edge), blended with the second's
    // weight in 256ths.
    struct TTap
    {
        int index = 0;
        int weight = 0; // 0 .. 255
    };

    // a and b blended with b's weight in 256ths (0 .. 256), straight channels; the result
    // is opaque.
    static uint32_t Blend(uint32_t a, uint32_t b, int weight);

    // The tap of target pixel target (0 .. targetSize - 1) for a frame side of frameSize
    // pixels. Both sizes are at least 1.
    static TTap MapPixel(int target, int targetSize, int frameSize);

    // Prepares the taps; sizes below 1 leave the scaler empty (Scale does nothing).
    void SetSizes(int frameWidth, int frameHeight, int targetWidth, int targetHeight);
    bool IsEmpty() const { return mColumns.empty() || mRows.empty(); }

    // Writes the whole target from the whole frame, both of the sizes given to SetSizes;
    // pitches are in pixels.
    void Scale(const uint32_t* frame, int framePitch, uint32_t* target, int targetPitch);

private:
    void CopyRows(const uint32_t* frame, int framePitch, uint32_t* target, int targetPitch) const;
    void StretchRow(const uint32_t* frameRow, uint32_t* out) const;

    int mFrameWidth = 0;
    int mFrameHeight = 0;
    std::vector<TTap> mColumns;
    std::vector<TTap> mRows;
    // Two frame rows stretched across the target's width, for the row pair being blended;
    // the frame row each holds (-1: none yet).
    std::vector<uint32_t> mUpper;
    std::vector<uint32_t> mLower;
    int mUpperRow = -1;
    int mLowerRow = -1;
};
