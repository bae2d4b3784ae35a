#pragma once

// A vertex array as the renderer draws it: which kind of vertex, where the vertices are
// and how many. The handle does not own the vertices; callers keep them alive while it
// is drawn and may reuse one array for batches of other sizes (SetCount).

#include "engine/graphics/device/TLitVertex.h"
#include "engine/graphics/device/TScreenVertex.h"

enum class TVertexKind : int
{
    Lit = 2,    // TLitVertex: through world, view and projection
    Screen = 3, // TScreenVertex: target pixels
};

class TVertexArray
{
public:
    TVertexArray(TLitVertex* vertices, int count)
        : mKind(TVertexKind::Lit), mVertices(vertices), mCount(count)
    {
    }
    TVertexArray(TScreenVertex* vertices, int count)
        : mKind(TVertexKind::Screen), mVertices(vertices), mCount(count)
    {
    }

    TVertexKind GetKind() const { return mKind; }
    int GetCount() const { return mCount; }
    void SetCount(int count) { mCount = count; }
    // The vertices as their kind; null when the array holds the other kind.
    const TLitVertex* GetLitVertices() const
    {
        return mKind == TVertexKind::Lit ? static_cast<const TLitVertex*>(mVertices) : nullptr;
    }
    const TScreenVertex* GetScreenVertices() const
    {
        return mKind == TVertexKind::Screen ? static_cast<const TScreenVertex*>(mVertices)
                                            : nullptr;
    }

private:
    TVertexKind mKind;
    const void* mVertices;
    int mCount;
};
