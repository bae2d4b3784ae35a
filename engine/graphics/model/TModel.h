#pragma once

// A triangle mesh read from a ".mesh" file, held as an asset (asset maps load it for
// names that resolve to ".mesh" files). Nothing draws it; it is kept in memory and
// loaded again after a display reset.
//
// ".mesh" files, little-endian:
//   "TRIS"  u16 vertex-count V  u16 triangle-count T
//   V x eight s16: position x y z, normal x y z, texture u v, each / 1000 as a float
//   T x three u16 vertex indices
// A file that ends early leaves the bytes it does not supply at 0 (indices too).
// Indices are not checked against V.
//
// Main thread only.

#include "engine/foundation/assets/TAsset.h"
#include "engine/foundation/core/TString.h"
#include "engine/graphics/model/TModelMesh.h"

#include <memory>

class TModel : public TAsset
{
public:
    // Init's log line when the file cannot be opened (the path).
    static constexpr const char* kCannotLoadLog = "graphics: model: %s: cannot be loaded";

    static TClassId ClassId();
    const char* GetClassName() const override { return "TModel"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

    // The live model of path (the cache key is the path as given), or a new one loaded
    // now and cached; empty when it cannot be loaded.
    static std::shared_ptr<TModel> Get(const TString& path);

    // Loads the mesh of path, replacing the current one. False when path does not name a
    // ".mesh" file, the file cannot be opened (logged) or does not start with "TRIS"; the
    // model then holds no mesh.
    bool Init(const TString& path);

    // Nothing to give up: the mesh lives in memory.
    void Release() override {}
    // Loads the mesh again from the file the last Init named.
    void Restore() override;

    // The mesh, or null when none is loaded.
    const TModelMesh* GetMesh() const { return mMesh.get(); }

private:
    std::unique_ptr<TModelMesh> mMesh;
    TString mPath; // what the last Init was given
};
