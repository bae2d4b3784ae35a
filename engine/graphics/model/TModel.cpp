#include "engine/graphics/model/TModel.h"

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/LittleEndian.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/TTexture.h"

#include <cstring>

namespace {

constexpr float kScale = 1000.0f;

// The next little-endian 16-bit value, or 0 when the file has no two more bytes.
uint16_t Read16(TFile* file)
{
    uint8_t bytes[2] = {0, 0};
    if (FileRead(bytes, 1, 2, file) != 2)
        return 0;
    return ReadLE16(bytes);
}

float ReadCoordinate(TFile* file)
{
    return static_cast<float>(static_cast<int16_t>(Read16(file))) / kScale;
}

} // namespace

TAsset::TClassId TModel::ClassId()
{
    static const char id = 0;
    return &id;
}

std::shared_ptr<TModel> TModel::Get(const TString& path)
{
    // Models share the cache textures use: the platform's asset manager while it exists.
    TAssetManager& cache = TTexture::GetCache();
    if (std::shared_ptr<TModel> cached = AssetCast<TModel>(cache.Find(path)))
        return cached;
    auto model = std::make_shared<TModel>();
    if (!model->Init(path))
        return nullptr;
    cache.Add(path, model);
    return model;
}

bool TModel::Init(const TString& path)
{
    mMesh.reset();
    mPath = path;
    if (path.Find(".mesh") < 0)
        return false;
    TFile* file = FileOpen(path, kFileReadBinary);
    if (file == nullptr) {
        TraceLog("TModel::Init: Failed to load %s", path.CStr());
        return false;
    }
    char magic[4] = {};
    if (FileRead(magic, 1, 4, file) != 4 || std::memcmp(magic, "TRIS", 4) != 0) {
        FileClose(file);
        return false;
    }
    auto mesh = std::make_unique<TModelMesh>();
    const uint16_t vertexCount = Read16(file);
    const uint16_t triangleCount = Read16(file);
    mesh->vertices.resize(vertexCount);
    mesh->indices.resize(size_t(triangleCount) * 3);
    for (TModelVertex& vertex : mesh->vertices) {
        for (float* value : {&vertex.x, &vertex.y, &vertex.z, &vertex.nx, &vertex.ny, &vertex.nz,
                             &vertex.u, &vertex.v})
            *value = ReadCoordinate(file);
    }
    for (uint16_t& index : mesh->indices)
        index = Read16(file);
    FileClose(file);
    mesh->path = path;
    mMesh = std::move(mesh);
    return true;
}

void TModel::Restore()
{
    if (mPath.Length() > 0) {
        const TString path = mPath;
        Init(path);
    }
}
