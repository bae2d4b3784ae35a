#pragma once

// The operating-system file services that the engine's virtual file system stands on:
// access checks, folder creation and listing, and read-only whole-file mappings (where
// folders are is TSystemPaths' business). Paths are plain byte strings with
// "/" separators. Only the backend in engine/platform/posix/ includes system headers.

#include <memory>
#include <string>
#include <vector>

class TMappedFile;

class TFileSystem
{
public:
    struct TFolderEntry
    {
        std::string name; // real on-disk spelling, never "." or ".."
        bool isFolder = false;
    };

    // The process-wide instance, created on first use; never null. Main thread only.
    static TFileSystem& Get();

    virtual ~TFileSystem() = default;

    // True when the file or folder exists and may be read.
    virtual bool IsReadable(const std::string& path) = 0;
    // True when the file or folder exists and may be both read and written.
    virtual bool IsReadWritable(const std::string& path) = 0;
    // True when path names an existing folder (following symbolic links).
    virtual bool IsFolder(const std::string& path) = 0;
    // True when path names something that exists but is neither a regular file nor a
    // folder (a pipe, a device, a socket; following symbolic links): opening it to read
    // may wait for ever or never end.
    virtual bool IsSpecialFile(const std::string& path) = 0;
    // Creates one folder level (mode 0755). False when it could not be created, also
    // when it already existed; callers that only need it to exist check afterwards.
    virtual bool MakeFolder(const std::string& path) = 0;
    // The entries of a folder sorted by name (byte order). A symbolic link counts as a
    // file when it points at a regular file and is left out when it points at a folder,
    // so a recursive walk over the entries cannot loop. False when the folder cannot be
    // opened.
    virtual bool ListFolder(const std::string& path, std::vector<TFolderEntry>& entries) = 0;
    // Maps a whole existing file read-only. Null when the file
    // cannot be opened, is empty, or cannot be mapped; it logs nothing, the caller does.
    virtual std::unique_ptr<TMappedFile> MapReadOnly(const std::string& path) = 0;
};
