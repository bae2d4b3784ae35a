#include "engine/foundation/files/TPathMap.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPackageList.h"
#include "engine/platform/TFileSystem.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr long kMaxListFileSize = 100000;
constexpr int kMaxScanDepth = 64; // a guard besides not following folder links

struct TPrefix
{
    const char* name;
    const TString TPathMap::*folder;
};

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

TString Lowered(const TString& text)
{
    TString result = text;
    result.MakeLower();
    return result;
}

std::string JoinPath(const std::string& base, const std::string& name)
{
    if (base.empty()) {
        return name;
    }
    if (base.back() == '/') {
        return base + name;
    }
    return base + "/" + name;
}

TString StripTrailingSeparators(const TString& folder)
{
    std::string text = folder.CStr();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) {
        text.pop_back();
    }
    return TString(text.c_str());
}

// The real spelling of one name in folder that equals name without regard to case, or
// "" when there is none.
std::string FindNameNoCase(const std::string& folder, const std::string& name)
{
    std::vector<TFileSystem::TFolderEntry> entries;
    if (!TFileSystem::Get().ListFolder(folder.empty() ? "." : folder, entries)) {
        return std::string();
    }
    for (const TFileSystem::TFolderEntry& entry : entries) {
        if (EqualNoCase(entry.name, name)) {
            return entry.name;
        }
    }
    return std::string();
}

// The disk path of relative below base, each component spelt as it is on disk when a
// component of any case exists there; components that do not exist keep the given
// spelling. "\" separates like "/".
std::string FindOnDisk(const std::string& base, std::string relative)
{
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::string exact = JoinPath(base, relative);
    TFileSystem& fileSystem = TFileSystem::Get();
    if (fileSystem.IsReadable(exact)) {
        return exact;
    }
    std::string result = base;
    bool matching = true;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos) {
            end = relative.size();
        }
        const std::string name = relative.substr(start, end - start);
        std::string candidate = JoinPath(result, name);
        if (matching && !name.empty() && name != "." && name != ".." &&
            !fileSystem.IsReadable(candidate)) {
            const std::string real = FindNameNoCase(result, name);
            if (real.empty()) {
                matching = false;
            } else {
                candidate = JoinPath(result, real);
            }
        }
        result = (name.empty() && start == 0 && base.empty()) ? std::string("/") : candidate;
        start = end + 1;
    }
    return result;
}

} // namespace

TPathMap& TPathMap::Get()
{
    static TPathMap sInstance;
    return sInstance;
}

void TPathMap::SetDataFolders(const TString& user, const TString& common, const TString& desktop)
{
    mUserFolder = StripTrailingSeparators(user);
    mCommonFolder = StripTrailingSeparators(common);
    mDesktopFolder = StripTrailingSeparators(desktop);
}

void TPathMap::SetWorkingFolder(const TString& folder)
{
    mWorkingFolder = StripTrailingSeparators(folder);
}

TString TPathMap::Resolve(const TString& path, bool mustExist)
{
    TString current = path;
    for (;;) {
        const TString key = Lowered(current);
        const auto found = mEntries.find(key);
        if (found != mEntries.end()) {
            return found->second;
        }
        const std::string text = key.CStr();
        if (StartsWith(text, "::")) {
            const std::string rest = text.substr(2);
            const bool absolute = !rest.empty() && rest[0] == '/';
            const std::string disk = FindOnDisk(absolute ? "" : mWorkingFolder.CStr(), rest);
            return TFileSystem::Get().IsReadable(disk) ? TString(disk.c_str()) : TString();
        }
        if (mustExist && mExclusions.count(key) != 0) {
            return TString();
        }
        if (StartsWith(text, "user:") || StartsWith(text, "common:") ||
            StartsWith(text, "desktop:")) {
            return ResolvePrefixed(key, mustExist);
        }
        if (text.size() > 6 && StartsWith(text, "assets") && (text[6] == '/' || text[6] == '\\')) {
            current = current.Substr(7);
            mustExist = false;
            continue;
        }
        return TString();
    }
}

TString TPathMap::ResolvePrefixed(const TString& key, bool mustExist)
{
    static const TPrefix kPrefixes[] = {
        {"user:", &TPathMap::mUserFolder},
        {"common:", &TPathMap::mCommonFolder},
        {"desktop:", &TPathMap::mDesktopFolder},
    };
    const std::string text = key.CStr();
    for (const TPrefix& prefix : kPrefixes) {
        if (!StartsWith(text, prefix.name)) {
            continue;
        }
        const TString& folder = this->*prefix.folder;
        if (folder.Length() == 0) {
            return TString(); // never let an unset folder turn into the file-system root
        }
        const std::string disk =
            FindOnDisk(folder.CStr(), text.substr(std::string(prefix.name).size()));
        if (mustExist && !TFileSystem::Get().IsReadWritable(disk)) {
            return TString();
        }
        const TString location(disk.c_str());
        mEntries[key] = location;
        return location;
    }
    return TString();
}

TString TPathMap::Find(const TString& key) const
{
    const auto found = mEntries.find(key);
    return found != mEntries.end() ? found->second : TString();
}

void TPathMap::Set(const TString& key, const TString& location)
{
    mEntries[key] = location;
}

void TPathMap::Remove(const TString& key)
{
    mEntries.erase(key);
}

bool TPathMap::Enumerate(const TString& prefix, TString& cursor, bool recursive) const
{
    const TString lowPrefix = Lowered(prefix);
    auto it = mEntries.upper_bound(cursor.Length() > 0 ? cursor : lowPrefix);
    if (!recursive) {
        while (it != mEntries.end() && it->first.FindChar('/', 0, lowPrefix.Length() + 1) >= 0) {
            ++it;
        }
    }
    if (it == mEntries.end() || it->first.Find(lowPrefix) != 0) {
        return false;
    }
    cursor = it->first;
    return true;
}

bool TPathMap::ParseFileList(const TString& text, bool add)
{
    bool sawClear = false;
    const std::string all = text.CStr();
    size_t start = 0;
    while (start < all.size()) {
        const size_t begin = all.find_first_not_of(" \t\n\r", start);
        if (begin == std::string::npos) {
            break;
        }
        size_t end = all.find_first_of(" \t\n\r", begin);
        if (end == std::string::npos) {
            end = all.size();
        }
        const TString token = Lowered(TString(all.substr(begin, end - begin).c_str()));
        if (token == TString("-*")) {
            mExclusions.clear();
            sawClear = true;
        } else if (add) {
            mExclusions.insert(token);
        } else {
            mExclusions.erase(token);
        }
        start = end;
    }
    return sawClear;
}

bool TPathMap::IsNotInFileList(const TString& key) const
{
    return mExclusions.count(key) == 0;
}

void TPathMap::LoadFinalList()
{
    const TString listName = ToDiskPath(mFirstPeek ? "firstpeek.txt" : "final.txt");
    if (FILE* file = std::fopen(listName.CStr(), "rb")) {
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        if (size >= 0 && size < kMaxListFileSize) {
            std::string text(static_cast<size_t>(size), '\0');
            std::fseek(file, 0, SEEK_SET);
            text.resize(std::fread(text.data(), 1, text.size(), file));
            ParseFileList(TString(text.c_str()), true);
        } else {
            TraceLog(
                "files: %s: %ld bytes, not below the limit of %ld: not read, nothing is left out",
                listName.CStr(), size, kMaxListFileSize);
        }
        std::fclose(file);
    }
    ScanAssetFolder("assets", TString());
    if (mEmbedded) {
        return;
    }
    if (mUserFolder.Length() > 0) {
        ScanAssetFolder(mUserFolder, "user:");
    }
    if (mCommonFolder.Length() > 0) {
        ScanAssetFolder(mCommonFolder, "common:");
    }
}

TString TPathMap::ToDiskPath(const TString& folder) const
{
    if (folder.CharAt(0) == '/' || mWorkingFolder.Length() == 0) {
        return folder;
    }
    return TString(JoinPath(mWorkingFolder.CStr(), folder.CStr()).c_str());
}

void TPathMap::ScanAssetFolder(const TString& folder, const TString& prefix)
{
    ScanFolder(ToDiskPath(folder), folder, prefix, 0);
}

void TPathMap::ScanFolder(const TString& diskFolder, const TString& stemSource,
                          const TString& prefix, int depth)
{
    if (depth > kMaxScanDepth) {
        TraceLog("files: %s: folders nested deeper than %d, not scanned", diskFolder.CStr(),
                 kMaxScanDepth);
        return;
    }
    RegisterPackages(diskFolder);

    const bool relative = prefix == TString(".");
    TString keyPrefix = relative ? TString() : prefix;
    std::string stem;
    if (prefix.Length() == 0) {
        stem = Lowered(stemSource).CStr();
        if (StartsWith(stem, "assets")) {
            stem = stem.size() > 7 ? stem.substr(7) : std::string();
        }
        if (!stem.empty()) {
            stem += '/';
        }
    }
    std::vector<TFileSystem::TFolderEntry> entries;
    if (!TFileSystem::Get().ListFolder(diskFolder.CStr(), entries)) {
        return;
    }
    for (const TFileSystem::TFolderEntry& entry : entries) {
        const TString name(entry.name.c_str());
        const TString key = keyPrefix + TString(stem.c_str()) + Lowered(name);
        if (!IsNotInFileList(key)) {
            continue;
        }
        const TString diskPath(JoinPath(diskFolder.CStr(), entry.name).c_str());
        if (!entry.isFolder) {
            mEntries[key] = diskPath;
        } else if (prefix.Length() > 0) {
            ScanFolder(diskPath, diskPath, key + '/', depth + 1);
        } else {
            ScanFolder(diskPath, TString(JoinPath(stemSource.CStr(), entry.name).c_str()),
                       TString(), depth + 1);
        }
    }
}

void TPathMap::CreateFoldersFor(const TString& location) const
{
    const std::string path = location.CStr();
    std::string base;
    for (const TString* folder : {&mUserFolder, &mCommonFolder}) {
        const std::string text = folder->CStr();
        if (!text.empty() && path.size() > text.size() && StartsWith(path, text.c_str()) &&
            path[text.size()] == '/') {
            base = text;
            break;
        }
    }
    if (base.empty()) {
        return;
    }
    TFileSystem& fileSystem = TFileSystem::Get();
    size_t slash = path.find('/', base.size() + 1);
    while (slash != std::string::npos) {
        const std::string folder = path.substr(0, slash);
        if (!fileSystem.IsReadWritable(folder)) {
            fileSystem.MakeFolder(folder);
        }
        slash = path.find('/', slash + 1);
    }
}

void TPathMap::Clear()
{
    mEntries.clear();
    mExclusions.clear();
}

void TPathMap::Reset()
{
    Clear();
    *this = TPathMap();
}

bool IsDiskLocation(const TString& location)
{
    return location.Length() > 0 && location.CharAt(0) != '@' && location.CharAt(0) != '&';
}

TString ResolvePath(const TString& path, bool mustExist)
{
    return TPathMap::Get().Resolve(path, mustExist);
}

bool EnumeratePathMap(const TString& prefix, TString& cursor, bool recursive)
{
    return TPathMap::Get().Enumerate(prefix, cursor, recursive);
}

void ScanAssetFolder(const TString& folder, const TString& prefix)
{
    TPathMap::Get().ScanAssetFolder(folder, prefix);
}

void LoadFinalList()
{
    TPathMap::Get().LoadFinalList();
}

bool ParseFileList(const TString& text, bool add)
{
    return TPathMap::Get().ParseFileList(text, add);
}

bool IsNotInFileList(const TString& key)
{
    return TPathMap::Get().IsNotInFileList(key);
}
