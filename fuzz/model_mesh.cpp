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
        // Bytes the file does not hold read as 0.
        const auto byte = [&](size_t at) -> size_t { return at < size ? data[at] : 0; };
        const size_t vertices = byte(4) | byte(5) << 8;
        const size_t triangles = byte(6) | byte(7) << 8;
        const TModelMesh* mesh = model.GetMesh();
        if (mesh == nullptr || mesh->vertices.size() != vertices ||
            mesh->indices.size() != 3 * triangles)
            std::abort();
    } else if (model.GetMesh() != nullptr) {
        std::abort();
    }
    RegisterMemoryFile("fuzz.mesh", nullptr, 0);
    return 0;
}
