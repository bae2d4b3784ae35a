#include "engine/graphics/model/TModel.h"

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/LittleEndian.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/TTexture.h"

#include <cstring>
#include <vector>

namespace {

constexpr float kScale = 1000.0f;
constexpr size_t kVertexBytes = 8 * 2;
constexpr size_t kTriangleBytes = 3 * 2;

// The next size bytes of the file; those past its end read as 0.
std::vector<uint8_t> ReadZeroFilled(TFile* file, size_t size)
{
    std::vector<uint8_t> bytes(size, 0);
    FileRead(bytes.data(), 1, size, file);
    return bytes;
}

float Coordinate(const uint8_t* at)
{
    return static_cast<float>(static_cast<int16_t>(ReadLE16(at))) / kScale;
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
        TraceLog(kCannotLoadLog, path.CStr());
        return false;
    }
    char magic[4] = {};
    if (FileRead(magic, 1, 4, file) != 4 || std::memcmp(magic, "TRIS", 4) != 0) {
        FileClose(file);
        return false;
    }
    const std::vector<uint8_t> counts = ReadZeroFilled(file, 4);
    const size_t vertexCount = ReadLE16(&counts[0]);
    const size_t triangleCount = ReadLE16(&counts[2]);
    // At most 65535 x 22 bytes: the counts are 16-bit.
    const std::vector<uint8_t> body =
        ReadZeroFilled(file, vertexCount * kVertexBytes + triangleCount * kTriangleBytes);
    auto mesh = std::make_unique<TModelMesh>();
    mesh->vertices.resize(vertexCount);
    mesh->indices.resize(triangleCount * 3);
    const uint8_t* at = body.data();
    for (TModelVertex& vertex : mesh->vertices) {
        for (float* value : {&vertex.x, &vertex.y, &vertex.z, &vertex.nx, &vertex.ny, &vertex.nz,
                             &vertex.u, &vertex.v}) {
            *value = Coordinate(at);
            at += 2;
        }
    }
    for (uint16_t& index : mesh->indices) {
        index = ReadLE16(at);
        at += 2;
    }
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
