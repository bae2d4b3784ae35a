#pragma once

// A packed 32-bit colour 0xAARRGGBB: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
// The form the renderer takes and the engine's pixel format.

#include <cstdint>

struct TColor;

class TColor32
{
public:
    TColor32() = default; // 0: transparent black
    TColor32(uint32_t packed) : mValue(packed) {}
    // Each channel cut to its low 8 bits.
    TColor32(int red, int green, int blue, int alpha);
    // Each channel x 255, truncated toward zero and packed without clamping, so a channel
    // outside 0..1 bleeds into its neighbours' bits (1.5 gives 382). NaN counts as 0 and
    // infinities as the largest 64-bit values.
    TColor32(const TColor& colour);

    uint32_t GetValue() const { return mValue; }
    int GetAlpha() const { return (mValue >> 24) & 0xFF; }
    int GetRed() const { return (mValue >> 16) & 0xFF; }
    int GetGreen() const { return (mValue >> 8) & 0xFF; }
    int GetBlue() const { return mValue & 0xFF; }
    void SetAlpha(int alpha);
    void SetRed(int red);
    void SetGreen(int green);
    void SetBlue(int blue);

    bool operator==(const TColor32& other) const { return mValue == other.mValue; }

private:
    void SetByte(int shift, int value);

    uint32_t mValue = 0;
};
