#pragma once

// The virtual file system's name space. A virtual path is turned into a real location
// by ResolvePath, which consults the process-wide path map first and the path prefixes
// second:
//   - map keys are lower-case virtual names: asset keys relative to the assets folder
//     ("scripts/config.lua"), and "user:", "common:" keys for the data folders;
//   - a location is a disk path, "@..." for a package entry (TFlatFileMap) or "&..." for
//     a memory block (TMemoryFile);
//   - "::rest" names rest relative to the working folder; "user:", "common:" and
//     "desktop:" name files in the three data folders; "assets/" or "assets\" in front
//     of a key is dropped.
// The map is filled at start-up by LoadFinalList (the exclusion list, then scans of the
// assets folder, its packages and the data folders) and later by RegisterMemoryFile.
//
// Disk names keep their real case. Keys are lower case, and the disk lookups behind "::"
// and the data-folder prefixes fold case component by component, so a key finds a file
// whatever the case of its name on disk. Both "\" and "/" separate components on disk;
// keys keep their separators as written.
//
// Main thread only. Start-up configures the folders and flags before LoadFinalList;
// tests point them at temporary folders.

#include "engine/foundation/core/TString.h"

#include <map>
#include <set>

class TPathMap
{
public:
    static TPathMap& Get();

    // Configuration. Folders are real paths; trailing separators are dropped. An empty
    // data folder leaves its prefix unresolvable. The working folder is where "::" paths,
    // "assets" and the list file are found; empty means the process's current folder.
    void SetDataFolders(const TString& user, const TString& common, const TString& desktop);
    void SetWorkingFolder(const TString& folder);
    // Reads "firstpeek.txt" instead of "final.txt".
    void SetFirstPeek(bool firstPeek) { mFirstPeek = firstPeek; }
    // Running inside a host (the setting "activex" is "1"): the data folders are not scanned.
    void SetEmbedded(bool embedded) { mEmbedded = embedded; }
    const TString& GetUserFolder() const { return mUserFolder; }
    const TString& GetCommonFolder() const { return mCommonFolder; }
    const TString& GetDesktopFolder() const { return mDesktopFolder; }
    const TString& GetWorkingFolder() const { return mWorkingFolder; }

    // The location of a virtual path, or "" when none. With mustExist (read modes) an
    // excluded key is not found and a data-folder file must be readable and writable;
    // "::" paths must be readable either way. A resolved data-folder path is remembered
    // in the map, so it keeps resolving even after its file is deleted.
    TString Resolve(const TString& path, bool mustExist);

    // The entry under key (already lower case), or "".
    TString Find(const TString& key) const;
    void Set(const TString& key, const TString& location);
    void Remove(const TString& key);
    // Writes the next key after cursor (or after prefix when cursor is empty) that begins
    // with prefix; without recursive, keys with a "/" at or after position prefix length
    // + 1 are passed over. False when there is none.
    bool Enumerate(const TString& prefix, TString& cursor, bool recursive) const;

    // Splits text at blanks, tabs and line ends into lower-cased keys and adds them to
    // the exclusion set (or removes them without add); "-*" empties the set. True when a
    // "-*" was seen. A folder key keeps the whole folder out of the scan.
    bool ParseFileList(const TString& text, bool add);
    // True when key is not in the exclusion set.
    bool IsNotInFileList(const TString& key) const;
    // Start-up: reads the list file, scans "assets", then (unless embedded) the user
    // folder as "user:" and the common folder as "common:".
    void LoadFinalList();
    // Registers folder's packages, then stores its files under prefix + stem + name,
    // recursing into sub-folders (symbolic links to folders are not followed). With an
    // empty prefix the stem is the folder path less a leading "assets" and separator; the
    // prefix "." gives keys relative to the folder. A loose file replaces a package entry
    // of the same key.
    void ScanAssetFolder(const TString& folder, const TString& prefix);

    // For a location about to be written: creates its missing folders below the user or
    // common data folder (never the data folder itself, never the file).
    void CreateFoldersFor(const TString& location) const;
    // Empties the map and the exclusion set (shutdown); configuration stays.
    void Clear();
    // Clear, and forget the configuration (tests).
    void Reset();

    const std::map<TString, TString>& GetEntries() const { return mEntries; }

private:
    TString ToDiskPath(const TString& folder) const;
    void ScanFolder(const TString& diskFolder, const TString& stemSource, const TString& prefix,
                    int depth);
    TString ResolvePrefixed(const TString& key, bool mustExist);

    std::map<TString, TString> mEntries;
    std::set<TString> mExclusions;
    TString mUserFolder;
    TString mCommonFolder;
    TString mDesktopFolder;
    TString mWorkingFolder;
    bool mFirstPeek = false;
    bool mEmbedded = false;
};

// The free functions the rest of the engine calls; each forwards to TPathMap::Get().
TString ResolvePath(const TString& path, bool mustExist);
bool EnumeratePathMap(const TString& prefix, TString& cursor, bool recursive);
void ScanAssetFolder(const TString& folder, const TString& prefix);
void LoadFinalList();
bool ParseFileList(const TString& text, bool add);

// Whether a resolved location is a disk path rather than a package entry ("@...") or a
// memory block ("&..."); false for "" (no location).
bool IsDiskLocation(const TString& location);
bool IsNotInFileList(const TString& key);
