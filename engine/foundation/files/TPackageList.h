#pragma once

// Package files (".hvp"): read-only archives whose entries join the path map as
// "@<index>:<offset>,<length>" locations (TFlatFileMap). The package list holds one
// mapped handler per package path ever registered; a handler's position is the index
// used in those locations.
//
// Package format, integers little-endian: "HVPK"; u32 entry count (read as signed, so
// 2^31 and more count as none); per entry {u8 name length n, n name bytes in path-map key
// form, u32 offset from the start of the file, u32 length}; then the entries' bytes.
//
// NOTE: a package is mapped, not copied. Replace a package file by writing a new file
// and renaming it over the old one; a file rewritten in place changes under the readers.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/files/TFileMapHandler.h"

#include <vector>

class TPathMap;

class TPackageList
{
public:
    static TPackageList& Get();

    // The handler at index, or null when the index names no package.
    const TFileMapHandler* At(long index) const;
    int GetCount() const { return static_cast<int>(mHandlers.size()); }
    // The index of the package registered by exactly this path, or -1.
    int Find(const TString& path) const;
    // Stores the handler at index, appending when index equals the count.
    void Put(int index, const TFileMapHandler& handler);
    // Unmaps every package; entries still in the path map then fail to open. For
    // shutdown and tests.
    void Clear() { mHandlers.clear(); }

private:
    std::vector<TFileMapHandler> mHandlers;
};

// Reads the package's directory into the path map (a later package, or a later entry of
// the same package, replaces an entry of the same lower-cased name) and maps the file.
// A path registered before keeps its index. A file that cannot be opened or lacks the
// magic registers nothing, silently; a directory that ends before its count of entries
// is refused whole, and entries that do not lie inside the file are skipped, each with a
// log line. A failed mapping is logged and keeps the entries registered: opening them
// then fails. True when the directory was registered.
bool LoadPackageDirectory(TPathMap& map, const TString& packagePath);

// Registers every file of diskFolder (not its sub-folders) whose name contains ".hvp"
// as the package "::assets/" + its name, in name order.
void RegisterPackages(const TString& diskFolder);
