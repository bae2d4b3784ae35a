#include "engine/graphics/particles/TParticleView.h"

#include <cmath>

bool TruncateToInt(float value, int& out)
{
    if (!(value > -2147483648.0f && value < 2147483648.0f))
        return false;
    out = static_cast<int>(std::trunc(value));
    return true;
}

float* TParticleView::Range(float offset, int n) const
{
    int at = 0;
    if (!TruncateToInt(offset, at) || at < 0 || n < 0 || at > floatCount - n)
        return nullptr;
    return floats + at;
}

float* TParticleView::Component(float offset, float component) const
{
    int at = 0;
    int i = 0;
    if (!TruncateToInt(offset, at) || !TruncateToInt(component, i) || at < 0 || at >= floatCount ||
        attributeAt == nullptr)
        return nullptr;
    if (i < 1 || i > attributeAt[at] || at + i > floatCount)
        return nullptr;
    return floats + at + i - 1;
}
