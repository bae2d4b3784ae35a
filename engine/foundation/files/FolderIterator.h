#pragma once

#include "engine/foundation/core/TString.h"

#include <string>
#include <vector>

// Walks the entries of one disk folder (not its sub-folders), other than "." and "..",
// in name order. Symbolic links to folders are left out.
class FolderIterator
{
public:
    // Starts a new walk over folder (a disk path, "/" or "\" separated); any earlier walk
    // ends. A folder that cannot be read gives an empty walk.
    void FindFiles(const TString& folder);
    // The next entry's name. With isFolder null, folders are passed over; otherwise
    // *isFolder tells whether the entry is one. False once the walk has ended.
    bool Next(TString& name, bool* isFolder);

private:
    struct TEntry
    {
        std::string name;
        bool isFolder;
    };
    std::vector<TEntry> mEntries;
    size_t mNext = 0;
};
