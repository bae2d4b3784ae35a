#include "engine/graphics/particles/nodes/functions/FFade.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

#include <algorithm>

int FFade::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return operandCount > 1 ? operandDimensions[1] : 0;
}

namespace {

// t, then keys alternating with durations: an even count of at least 2, t and every
// duration of dimension 1, every key of the first key's dimension.
bool IsFade(const TParticleEvalContext& context)
{
    const int count = context.GetOperandCount();
    if (count < 2 || count % 2 != 0 || !context.IsScalar(0))
        return false;
    for (int j = 2; j < count; j += 2)
        if (!context.IsScalar(j) || context.GetDimension(j + 1) != context.GetDimension(1))
            return false;
    return true;
}

} // namespace

bool FFade::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!IsFade(context))
        return false;
    const int count = context.GetOperandCount();
    float x = std::max(context.GetScalar(0), 0.0f);
    int key = 1;
    float duration = 0.0f;
    while (key + 1 < count) {
        duration = context.GetScalar(key + 1);
        if (x < duration)
            break;
        x -= duration;
        key += 2;
    }
    if (key >= count - 2)
        return context.Push(context.GetOperand(key), context.GetDimension(key));
    const int n = context.GetDimension(key);
    const float* from = context.GetOperand(key);
    const float* to = context.GetOperand(key + 2);
    const float share = x / duration;
    float result[4];
    for (int i = 0; i < n; ++i)
        result[i] = from[i] + share * (to[i] - from[i]);
    return context.Push(result, n);
}
