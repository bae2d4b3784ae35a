#include "engine/foundation/math/TColor.h"

namespace {

float FromByte(int value)
{
    return static_cast<float>(static_cast<unsigned>(value) / 255.0);
}

} // namespace

void TColor::SetFromBytes(int red, int green, int blue, int alpha)
{
    r = FromByte(red);
    g = FromByte(green);
    b = FromByte(blue);
    a = FromByte(alpha);
}

bool operator!=(const TColor& x, const TColor& y)
{
    return !(x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a);
}
