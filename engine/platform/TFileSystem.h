#pragma once

// The operating-system file services that the engine's virtual file system stands on:
// access checks, folder creation and listing, absolute paths, the per-user data and
// desktop folders, and read-only whole-file mappings. Paths are plain byte strings with
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
    // Creates one folder level (mode 0755). False when it could not be created, also
    // when it already existed; callers that only need it to exist check afterwards.
    virtual bool MakeFolder(const std::string& path) = 0;
    // The absolute form of path (joined to the working folder when relative, "." and
    // ".." left as they are); the file need not exist. Empty on failure.
    virtual std::string GetFullPath(const std::string& path) = 0;
    // The entries of a folder sorted by name (byte order). A symbolic link counts as a
    // file when it points at a regular file and is left out when it points at a folder,
    // so a recursive walk over the entries cannot loop. False when the folder cannot be
    // opened.
    virtual bool ListFolder(const std::string& path, std::vector<TFolderEntry>& entries) = 0;
    // The per-user application-data folder ($XDG_DATA_HOME, else ~/.local/share),
    // without a trailing "/". Empty when there is no home folder.
    virtual std::string GetDataHome() = 0;
    // The user's desktop folder (XDG_DESKTOP_DIR, from the environment or
    // user-dirs.dirs, else ~/Desktop when it exists), without a trailing "/". Empty when
    // none exists.
    virtual std::string GetDesktopFolder() = 0;
    // Maps a whole existing file read-only. Null when the file
    // cannot be opened, is empty, or cannot be mapped; it logs nothing, the caller does.
    virtual std::unique_ptr<TMappedFile> MapReadOnly(const std::string& path) = 0;
};
