#include "engine/foundation/math/TColor32.h"

#include "engine/foundation/math/TColor.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// channel x 255 truncated toward zero, kept inside the int64 range so that the conversion
// is always defined; the 64-bit pattern is what gets packed.
uint64_t ScaledChannel(float channel)
{
    const float scaled = channel * 255.0f;
    constexpr float kLimit = 9223372036854775808.0f; // 2^63
    if (std::isnan(scaled))
        return 0;
    if (scaled >= kLimit)
        return static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (scaled < -kLimit)
        return static_cast<uint64_t>(std::numeric_limits<int64_t>::min());
    return static_cast<uint64_t>(static_cast<int64_t>(scaled));
}

uint32_t LowByte(int value)
{
    return static_cast<uint32_t>(value) & 0xFF;
}

} // namespace

TColor32::TColor32(int red, int green, int blue, int alpha)
    : mValue(LowByte(alpha) << 24 | LowByte(red) << 16 | LowByte(green) << 8 | LowByte(blue))
{
}

TColor32::TColor32(const TColor& colour)
{
    uint64_t packed = ScaledChannel(colour.a);
    packed = (packed << 8) | ScaledChannel(colour.r);
    packed = (packed << 8) | ScaledChannel(colour.g);
    packed = (packed << 8) | ScaledChannel(colour.b);
    mValue = static_cast<uint32_t>(packed);
}

void TColor32::SetAlpha(int alpha)
{
    mValue = (mValue & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha) << 24);
}

void TColor32::SetRed(int red)
{
    SetByte(16, red);
}

void TColor32::SetGreen(int green)
{
    SetByte(8, green);
}

void TColor32::SetBlue(int blue)
{
    SetByte(0, blue);
}

void TColor32::SetByte(int shift, int value)
{
    mValue = (mValue & ~(0xFFu << shift)) | (LowByte(value) << shift);
}
