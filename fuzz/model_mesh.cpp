// The ".mesh" reader (TModel::Init) over arbitrary files, read through the engine's own
// file functions from a memory file: an accepted mesh has exactly the vertices and
// indices its counts announce. Seeds: fuzz/corpus/model_mesh/ (tools/make-fuzz-seeds).
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/model/TModel.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RegisterMemoryFile("fuzz.mesh", data, size);
    TModel model;
    if (model.Init("fuzz.mesh")) {
        const TModelMesh* mesh = model.GetMesh();
        if (mesh == nullptr || size < 8 ||
            mesh->vertices.size() != size_t(data[4] | data[5] << 8) ||
            mesh->indices.size() != 3 * size_t(data[6] | data[7] << 8))
            std::abort();
    } else if (model.GetMesh() != nullptr) {
        std::abort();
    }
    RegisterMemoryFile("fuzz.mesh", nullptr, 0);
    return 0;
}
