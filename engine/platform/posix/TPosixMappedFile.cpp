#include "engine/platform/posix/TPosixMappedFile.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<TPosixMappedFile> TPosixMappedFile::Map(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info
    {
    };
    void* view = MAP_FAILED;
    size_t size = 0;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        static_cast<uintmax_t>(info.st_size) <= SIZE_MAX) {
        size = static_cast<size_t>(info.st_size);
        view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    }
    close(fd); // the mapping keeps its own reference to the file
    if (view == MAP_FAILED) {
        return nullptr;
    }
    return std::unique_ptr<TPosixMappedFile>(
        new TPosixMappedFile(static_cast<const uint8_t*>(view), size));
}

TPosixMappedFile::~TPosixMappedFile()
{
    munmap(const_cast<uint8_t*>(mData), mSize);
}
