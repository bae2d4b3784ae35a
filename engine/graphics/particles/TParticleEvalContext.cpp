#include "engine/graphics/particles/TParticleEvalContext.h"

#include "engine/graphics/particles/TParticleFunction.h"

bool TParticleEvalContext::Run(const std::vector<TParticleStreamEntry>& stream,
                               TParticleView& particle)
{
    int top = 0;
    for (const TParticleStreamEntry& entry : stream) {
        // The compiler never leaves fewer entries than a node takes; a node that did
        // would read below the stack, so it ends the stream instead.
        if (top < entry.operandCount)
            return false;
        mFirst = top - entry.operandCount;
        mCount = entry.operandCount;
        mIndex = mFirst;
        if (!entry.node->Evaluate(particle, *this))
            return false;
        top = mIndex;
    }
    return true;
}

bool TParticleEvalContext::HasScalars(int count) const
{
    if (mCount != count)
        return false;
    for (int j = 0; j < count; ++j)
        if (GetDimension(j) != 1)
            return false;
    return true;
}

bool TParticleEvalContext::Push(const float* values, int n)
{
    if (!mStack.Store(mIndex, values, n))
        return false;
    ++mIndex;
    return true;
}

bool TParticleEvalContext::EvaluateCustom(int k, TParticleView& particle)
{
    if (mCustomNodes == nullptr || k < 1 || k > static_cast<int>(mCustomNodes->size()))
        return false;
    TParticleFunction* node = (*mCustomNodes)[static_cast<size_t>(k - 1)];
    if (node == nullptr)
        return false;
    const int first = mFirst;
    const int count = mCount;
    const int index = mIndex;
    mFirst = mIndex;
    mCount = 0;
    const bool ok = node->Evaluate(particle, *this) && mIndex == index + 1;
    mFirst = first;
    mCount = count;
    if (!ok)
        mIndex = index;
    return ok;
}
