#include "engine/platform/TSafeFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(std::string* error, const std::string& what)
{
    if (error != nullptr)
        *error = what + ": " + std::strerror(errno);
    return false;
}

bool WriteAll(int fd, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t written = write(fd, bytes + done, size - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        done += size_t(written);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced is not an error.
void SyncFolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

} // namespace

bool TSafeFile::Replace(const std::string& path, const void* data, size_t size, std::string* error)
{
    std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return Fail(error, "cannot create " + temporary);
    bool written = WriteAll(fd, data, size);
    if (!written) {
        Fail(error, "cannot write " + temporary);
    } else if (fsync(fd) != 0) {
        written = Fail(error, "cannot flush " + temporary);
    }
    if (close(fd) != 0 && written)
        written = Fail(error, "cannot close " + temporary);
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        Fail(error, "cannot rename " + temporary);
        unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(path);
    return true;
}
