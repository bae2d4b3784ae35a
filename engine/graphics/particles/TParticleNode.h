#pragma once

// What every built-in node class shares: its identity, its name (TNode::kClassName) and
// the factory the compiler's command table holds.

#include "engine/graphics/particles/TParticleFunction.h"

#include <cstdint>
#include <memory>

template <class TNode> class TParticleNode : public TParticleFunction
{
public:
    static TClassId ClassId()
    {
        static const char id = 0;
        return &id;
    }
    static std::shared_ptr<TParticleFunction> Create() { return std::make_shared<TNode>(); }

    const char* GetClassName() const override { return TNode::kClassName; }
    bool IsKindOf(TClassId id) const override
    {
        return id == ClassId() || TParticleFunction::IsKindOf(id);
    }

protected:
    // The result dimension of nodes whose result has their first operand's dimension.
    static int FirstDimension(int operandCount, const uint8_t* operandDimensions)
    {
        return operandCount > 0 ? operandDimensions[0] : 0;
    }
};
