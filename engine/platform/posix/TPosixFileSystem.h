#pragma once

#include "engine/platform/TFileSystem.h"

// TFileSystem on POSIX calls: access, mkdir, opendir/readdir with lstat, mmap.
class TPosixFileSystem final : public TFileSystem
{
public:
    bool IsReadable(const std::string& path) override;
    bool IsReadWritable(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
    bool IsSpecialFile(const std::string& path) override;
    bool MakeFolder(const std::string& path) override;
    bool ListFolder(const std::string& path, std::vector<TFolderEntry>& entries) override;
    std::unique_ptr<TMappedFile> MapReadOnly(const std::string& path) override;
};
