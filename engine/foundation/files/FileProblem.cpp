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

// What a disk entry that the scan of the assets folder passed over is (an empty folder,
// a pipe); "" for an asset key without one.
TString DescribeUnlistedAsset(const TString& path)
{
    if (path.Length() == 0 || path.Find(":") >= 0)
        return TString();
    const TString location = ResolvePath(TString("::assets/") + path, false);
    if (location.Length() == 0 || !IsDiskLocation(location))
        return TString();
    if (TFileSystem::Get().IsFolder(location.CStr()))
        return "is a folder";
    if (TFileSystem::Get().IsSpecialFile(location.CStr()))
        return "is not a regular file";
    return TString();
}

} // namespace

TString DescribeFileProblem(const TString& path)
{
    const TString location = ResolvePath(path, true);
    if (location.Length() == 0) {
        if (HasKeysBelow(path))
            return "is a folder";
        const TString unlisted = DescribeUnlistedAsset(path);
        return unlisted.Length() > 0 ? unlisted : TString("does not exist");
    }
    if (IsDiskLocation(location) && TFileSystem::Get().IsFolder(location.CStr()))
        return "is a folder";
    if (IsDiskLocation(location) && TFileSystem::Get().IsSpecialFile(location.CStr()))
        return "is not a regular file";
    TFile file;
    if (!file.Open(path, kFileReadBinary))
        return "cannot be opened";
    return file.GetSize() > 0 ? TString() : TString("is empty");
}
