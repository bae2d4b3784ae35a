#pragma once

// Where a particle expression is evaluated: the evaluation stack, the window of operands
// of the node that runs, and the custom nodes of the system (reached through handles
// with a negative offset). A system keeps one context and runs every stream of every
// particle through it, so a pass allocates nothing.
//
// Before a node runs, its operands are the top entries of the stack; the node pushes its
// result where its first operand was (replacing the operands), and the next node sees
// the stack up to the last push.

#include "engine/graphics/particles/TParticleStack.h"
#include "engine/graphics/particles/TParticleStreamEntry.h"

#include <vector>

class TParticleFunction;
struct TParticleView;

class TParticleEvalContext
{
public:
    // customNodes: the system's, numbered from 1; not owned, may be null (none).
    explicit TParticleEvalContext(const std::vector<TParticleFunction*>* customNodes = nullptr)
        : mCustomNodes(customNodes)
    {
    }
    TParticleEvalContext(const TParticleEvalContext&) = delete;
    TParticleEvalContext& operator=(const TParticleEvalContext&) = delete;

    // Runs stream on particle from an empty stack, node after node, until one fails.
    // False when one failed (or found fewer entries than it takes operands).
    bool Run(const std::vector<TParticleStreamEntry>& stream, TParticleView& particle);

    // --- For nodes ---
    int GetOperandCount() const { return mCount; }
    // Operand j, 0-based; j must be below the operand count.
    int GetDimension(int j) const { return mStack.GetDimension(mFirst + j); }
    const float* GetOperand(int j) const { return mStack.GetEntry(mFirst + j); }
    float GetScalar(int j) const { return GetOperand(j)[0]; }
    // Operand j exists and has dimension 1.
    bool IsScalar(int j) const { return j < mCount && GetDimension(j) == 1; }
    // Exactly count operands, all of dimension 1.
    bool HasScalars(int count) const;
    // Exactly two operands of one dimension.
    bool HasMatchingPair() const { return mCount == 2 && GetDimension(0) == GetDimension(1); }

    // Pushes n floats (1 to 4; they may be operands) as the next result. False when the
    // stack is full or n is out of range.
    bool Push(const float* values, int n);
    bool Push(float value) { return Push(&value, 1); }
    // Pushes f(x, i) for every component x (index i) of the first operand, which must
    // exist, as one result of the same dimension.
    template <class F> bool PushMapped(F f)
    {
        const int n = GetDimension(0);
        const float* a = GetOperand(0);
        float result[4];
        for (int i = 0; i < n; ++i)
            result[i] = f(a[i], i);
        return Push(result, n);
    }

    // Evaluates custom node k (1-based) with no operands; its result is pushed as the
    // next entry. False when there is no node k or it fails. The operand window stays.
    bool EvaluateCustom(int k, TParticleView& particle);
    // The entry the next push goes to, and going back to it (dropping what was pushed
    // since); for nodes that look at a result before pushing their own.
    int GetPushIndex() const { return mIndex; }
    void RewindTo(int index) { mIndex = index; }
    const TParticleStack& GetStack() const { return mStack; }

private:
    TParticleStack mStack;
    const std::vector<TParticleFunction*>* mCustomNodes;
    int mFirst = 0; // entry of the running node's first operand
    int mCount = 0; // its operand count
    int mIndex = 0; // entry the next push goes to
};
