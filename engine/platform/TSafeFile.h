#pragma once

#include <cstddef>
#include <string>

// Replacing a file's contents so that a crash, a kill or a full disk at any moment leaves
// either the old file or the new one, whole. Implemented in engine/platform/posix/.
class TSafeFile
{
public:
    // Writes data to "<path>.tmp" in the same folder, checks the byte count, flushes it
    // to the disk (fsync), then renames it over path and syncs the folder. On failure the
    // temporary file is removed, path is untouched, and error (when given) says why.
    static bool Replace(const std::string& path, const void* data, size_t size,
                        std::string* error = nullptr);
};
