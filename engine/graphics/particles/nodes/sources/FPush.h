#pragma once

// A constant of 1 to 4 floats (FPush<float>, FPush<TVec2>, FPush<TVec3>, FPush<TVec4>):
// pushes it.

#include "engine/foundation/math/TVec2.h"
#include "engine/foundation/math/TVec3.h"
#include "engine/foundation/math/TVec4.h"
#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleNode.h"

#include <algorithm>

template <class T> class FPush final : public TParticleNode<FPush<T>>
{
public:
    static constexpr const char* kClassName = "FPush";
    static constexpr int kDimension = static_cast<int>(sizeof(T) / sizeof(float));
    static_assert(kDimension >= 1 && kDimension <= 4);

    FPush() = default;
    explicit FPush(const float* values) { std::copy_n(values, kDimension, mValues); }

    int GetResultDimension(int, const uint8_t*) const override { return kDimension; }
    bool Evaluate(TParticleView&, TParticleEvalContext& context) override
    {
        return context.Push(mValues, kDimension);
    }

private:
    float mValues[kDimension] = {};
};
