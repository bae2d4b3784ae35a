#include "engine/foundation/files/FileProblem.h"

#include "engine/foundation/files/TFile.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/platform/TFileSystem.h"

namespace {

// An asset folder has no key of its own, only the keys of the files below it.
bool HasKeysBelow(const TString& path)
{
    TString cursor;
    return EnumeratePathMap(path + "/", cursor, true);
}

} // namespace

TString DescribeFileProblem(const TString& path)
{
    const TString location = ResolvePath(path, true);
    if (location.Length() == 0)
        return HasKeysBelow(path) ? "is a folder" : "does not exist";
    if (IsDiskLocation(location) && TFileSystem::Get().IsFolder(location.CStr()))
        return "is a folder";
    TFile file;
    if (!file.Open(path, kFileReadBinary))
        return "cannot be opened";
    return file.GetSize() > 0 ? TString() : TString("is empty");
}
