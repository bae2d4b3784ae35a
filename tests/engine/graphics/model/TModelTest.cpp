#include "engine/graphics/model/TModel.h"

#include "engine/foundation/core/LittleEndian.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/ImageFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A ".mesh" file: the magic, the counts, then the given 16-bit values.
std::string MeshBytes(const char* magic, uint16_t vertices, uint16_t triangles,
                      std::initializer_list<int> values)
{
    std::string bytes(magic, 4);
    AppendLE16(bytes, vertices);
    AppendLE16(bytes, triangles);
    for (int value : values)
        AppendLE16(bytes, static_cast<uint16_t>(value));
    return bytes;
}

using TModelTest = EngineStateTest;

TEST_F(TModelTest, ReadsVerticesInThousandthsAndTriangleIndices)
{
    TImageFolder folder;
    folder.Put("box.mesh",
               MeshBytes("TRIS", 3, 1, {1500, -32768, 0,    0, 0, 1000, 250, 750,   // vertex 0
                                        1,    2,      3,    4, 5, 6,    7,   8,     // vertex 1
                                        -1,   0,      0,    0, 0, 0,    0,   32767, // vertex 2
                                        2,    0,      65535}));                     // triangle
    const std::shared_ptr<TModel> model = TModel::Get("user:box.mesh");
    ASSERT_NE(model, nullptr);
    const TModelMesh* mesh = model->GetMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->vertices.size(), 3u);
    EXPECT_EQ(mesh->vertices[0].x, 1.5f);
    EXPECT_EQ(mesh->vertices[0].y, -32.768f);
    EXPECT_EQ(mesh->vertices[0].nz, 1.0f);
    EXPECT_EQ(mesh->vertices[0].u, 0.25f);
    EXPECT_EQ(mesh->vertices[0].v, 0.75f);
    EXPECT_EQ(mesh->vertices[1].v, 0.008f);
    EXPECT_EQ(mesh->vertices[2].x, -0.001f);
    EXPECT_EQ(mesh->vertices[2].v, 32.767f);
    EXPECT_EQ(mesh->indices, (std::vector<uint16_t>{2, 0, 65535}));
    EXPECT_EQ(mesh->path, TString("user:box.mesh"));
    EXPECT_EQ(TModel::Get("user:box.mesh"), model) << "cached by path while held";
    EXPECT_TRUE(model->IsKindOf(TAsset::ClassId()));
    EXPECT_STREQ(model->GetClassName(), "TModel");

    // A display reset loads it again from the file.
    folder.Put("box.mesh", MeshBytes("TRIS", 1, 0, {7000}));
    model->Restore();
    ASSERT_NE(model->GetMesh(), nullptr);
    EXPECT_EQ(model->GetMesh()->vertices.size(), 1u);
    EXPECT_EQ(model->GetMesh()->vertices[0].x, 7.0f);
}

TEST_F(TModelTest, RefusesOtherFilesAndFillsShortOnesWithZeros)
{
    TImageFolder folder;
    folder.Put("box.obj", MeshBytes("TRIS", 0, 0, {}));
    folder.Put("tri.mesh", MeshBytes(std::string("TRI\0", 4).c_str(), 0, 0, {}));
    folder.Put("short.mesh", MeshBytes("TRIS", 2, 2, {1000, 2000, 3000, 4000}));
    folder.Put("tiny.mesh", "TR");

    TModel model;
    EXPECT_FALSE(model.Init("user:box.obj"));
    EXPECT_EQ(folder.CountLogLines("box.obj"), 0) << "refused without opening";
    EXPECT_FALSE(model.Init("user:missing.mesh"));
    EXPECT_EQ(
        folder.CountLogLines(TString::Printf(TModel::kCannotLoadLog, "user:missing.mesh").CStr()),
        1);
    EXPECT_FALSE(model.Init("user:tri.mesh"));
    EXPECT_EQ(model.GetMesh(), nullptr) << "a refused file leaves no mesh";
    EXPECT_FALSE(model.Init("user:tiny.mesh"));
    EXPECT_EQ(TModel::Get("user:tri.mesh"), nullptr);

    ASSERT_TRUE(model.Init("user:short.mesh"));
    const TModelMesh* mesh = model.GetMesh();
    ASSERT_EQ(mesh->vertices.size(), 2u);
    EXPECT_EQ(mesh->vertices[0].nx, 4.0f);
    EXPECT_EQ(mesh->vertices[0].ny, 0.0f);
    EXPECT_EQ(mesh->vertices[1].x, 0.0f);
    EXPECT_EQ(mesh->indices, (std::vector<uint16_t>(6, 0)));
}

} // namespace
