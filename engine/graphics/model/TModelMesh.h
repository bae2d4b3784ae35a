#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/graphics/model/TModelVertex.h"

#include <cstdint>
#include <vector>

// A triangle mesh: vertices, and three vertex indices per triangle.
struct TModelMesh
{
    std::vector<TModelVertex> vertices;
    std::vector<uint16_t> indices; // 3 x the triangle count
    TString path;                  // the file it was loaded from
};
