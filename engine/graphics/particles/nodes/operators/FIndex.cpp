#include "engine/graphics/particles/nodes/operators/FIndex.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleView.h"

int FIndex::GetResultDimension(int, const uint8_t*) const
{
    return 1;
}

bool FIndex::Evaluate(TParticleView& particle, TParticleEvalContext& context)
{
    if (!context.HasScalars(2))
        return false;
    const float offset = context.GetScalar(0);
    const float component = context.GetScalar(1);
    if (offset >= 0) {
        const float* value = particle.Component(offset, component);
        return value != nullptr && context.Push(*value);
    }
    int node = 0;
    int i = 0;
    if (!TruncateToInt(-offset, node) || !TruncateToInt(component, i))
        return false;
    const int at = context.GetPushIndex();
    if (!context.EvaluateCustom(node, particle))
        return context.Push(0.0f);
    const int dimension = context.GetStack().GetDimension(at);
    const float value = context.GetStack().GetEntry(at)[i < 1 || i > dimension ? 0 : i - 1];
    context.RewindTo(at);
    return i >= 1 && i <= dimension && context.Push(value);
}
