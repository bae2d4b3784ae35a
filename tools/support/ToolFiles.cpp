#include "tools/support/ToolFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Reason(int error)
{
    return std::strerror(error != 0 ? error : EIO);
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason)
{
    bytes.clear();
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = Reason(errno);
        return false;
    }
    char buffer[65536];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    const bool failed = std::ferror(file) != 0; // a folder opens, but reading it fails
    const int error = errno;
    std::fclose(file);
    if (failed) {
        bytes.clear();
        reason = Reason(error);
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason)
{
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        reason = Reason(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && !closed)
        error = errno;
    if (!written || !closed) {
        reason = Reason(error);
        return false;
    }
    return true;
}

bool ReadInputFile(const char* tool, const std::string& path, std::string& bytes)
{
    std::string reason;
    if (ReadWholeFile(path, bytes, reason))
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
