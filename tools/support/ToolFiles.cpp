#include "tools/support/ToolFiles.h"

#include "engine/platform/TSafeFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string Reason(int error)
{
    return std::strerror(error != 0 ? error : EIO);
}

// Writes bytes over what the stream at path holds: for devices and pipes, which have no
// old contents to keep and cannot be renamed over.
bool WriteInPlace(const std::string& path, const std::string& bytes, std::string& reason)
{
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        reason = Reason(errno);
        return false;
    }
    bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    int error = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written)
        reason = Reason(error);
    return written;
}

} // namespace

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::string& bytes,
                   std::string& reason)
{
    bytes.clear();
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = Reason(errno);
        return false;
    }
    // A file's size is known before reading; a device's or a pipe's only by reading.
    struct stat info
    {
    };
    bool tooLarge = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) &&
                    static_cast<uintmax_t>(info.st_size) > maxBytes;
    char buffer[65536];
    size_t count = 0;
    while (!tooLarge && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, count);
        tooLarge = bytes.size() > maxBytes;
    }
    const bool failed = std::ferror(file) != 0; // a folder opens, but reading it fails
    const int error = errno;
    std::fclose(file);
    if (failed || tooLarge) {
        bytes.clear();
        reason = failed ? Reason(error) : "larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason)
{
    std::error_code error;
    fs::path target = path;
    if (fs::is_symlink(target, error)) {
        const fs::path linked = fs::canonical(target, error);
        if (!error)
            target = linked; // replace the file the link names, not the link
    }
    const fs::file_status status = fs::status(target, error);
    if (fs::is_directory(status)) {
        reason = Reason(EISDIR);
        return false;
    }
    if (fs::exists(status) && !fs::is_regular_file(status))
        return WriteInPlace(target, bytes, reason);
    return TSafeFile::Replace(target, bytes.data(), bytes.size(), &reason);
}

bool ReadInputFile(const char* tool, const std::string& path, size_t maxBytes, std::string& bytes)
{
    std::string reason;
    if (ReadWholeFile(path, maxBytes, bytes, reason))
        return true;
    std::fprintf(stderr, "%s: cannot read %s: %s\n", tool, path.c_str(), reason.c_str());
    return false;
}

bool WriteOutputFile(const char* tool, const std::string& path, const std::string& bytes)
{
    std::string reason;
    if (WriteWholeFile(path, bytes, reason))
        return true;
    std::fprintf(stderr, "%s: cannot write %s: %s\n", tool, path.c_str(), reason.c_str());
    return false;
}

bool MakeOutputFolder(const char* tool, const std::string& folder)
{
    std::error_code error;
    if (fs::is_directory(folder, error))
        return true;
    std::string reason;
    if (fs::exists(folder, error))
        reason = Reason(ENOTDIR);
    else if (!fs::create_directories(folder, error) && error)
        reason = error.message();
    if (reason.empty())
        return true;
    std::fprintf(stderr, "%s: cannot make folder %s: %s\n", tool, folder.c_str(), reason.c_str());
    return false;
}
