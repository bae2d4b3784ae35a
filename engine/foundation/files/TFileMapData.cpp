#include "engine/foundation/files/TFileMapData.h"

#include "engine/foundation/files/DataFolders.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/platform/TFileSystem.h"
#include "engine/platform/TMappedFile.h"

TFileMapData::TFileMapData() = default;

TFileMapData::~TFileMapData() = default;

bool TFileMapData::Open(const TString& path)
{
    Close();
    TString diskPath = path;
    if (path.Find("::") == 0) {
        diskPath = ResolvePath(path, true);
    }
    if (diskPath.Length() == 0) {
        return false;
    }
    const TString fullPath = GetFullPath(diskPath);
    if (fullPath.Length() == 0) {
        return false;
    }
    mMapping = TFileSystem::Get().MapReadOnly(fullPath.CStr());
    return mMapping != nullptr;
}

void TFileMapData::Close()
{
    mMapping.reset();
}

const uint8_t* TFileMapData::GetView() const
{
    return mMapping ? mMapping->GetData() : nullptr;
}

size_t TFileMapData::GetSize() const
{
    return mMapping ? mMapping->GetSize() : 0;
}
