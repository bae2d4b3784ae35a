#include "engine/platform/posix/TPosixProcessMemory.h"

#include "engine/platform/TPlatformLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// statm is a handful of numbers on one line; more than this is not a statm file.
constexpr size_t kMaxStatmBytes = 256;

// The unsigned decimal number at text, after blanks; text moves past it. Empty without
// digits or beyond 64 bits.
std::optional<uint64_t> ReadNumber(const char*& text)
{
    while (*text == ' ')
        ++text;
    if (*text < '0' || *text > '9')
        return std::nullopt;
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const uint64_t digit = static_cast<uint64_t>(*text - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

uint64_t PageSize()
{
    const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<uint64_t>(size) : 4096;
}

} // namespace

TPosixProcessMemory::TPosixProcessMemory(std::string statmPath)
    : mPath(std::move(statmPath)), mPageSize(PageSize())
{
}

std::optional<uint64_t> TPosixProcessMemory::GetResidentBytes()
{
    std::string cause;
    const std::optional<uint64_t> pages = ReadResidentPages(cause);
    if (pages)
        return *pages * mPageSize;
    if (!mReported) {
        mReported = true;
        TPlatformLog::Write(kUnreadableLog, mPath.c_str(), cause.c_str());
    }
    return std::nullopt;
}

std::optional<uint64_t> TPosixProcessMemory::ReadResidentPages(std::string& cause) const
{
    const int descriptor = open(mPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        cause = std::strerror(errno);
        return std::nullopt;
    }
    char text[kMaxStatmBytes + 1];
    const ssize_t length = read(descriptor, text, kMaxStatmBytes);
    const int readError = errno;
    close(descriptor);
    if (length < 0) {
        cause = std::strerror(readError);
        return std::nullopt;
    }
    text[length] = '\0';
    const char* at = text;
    const std::optional<uint64_t> size = ReadNumber(at);
    const std::optional<uint64_t> resident = size ? ReadNumber(at) : std::nullopt;
    if (!resident || (*at != ' ' && *at != '\n' && *at != '\0')) {
        cause = "no size and resident size at its start";
        return std::nullopt;
    }
    if (*resident > *size) {
        cause = "a resident size beyond the process's size";
        return std::nullopt;
    }
    if (*resident > UINT64_MAX / mPageSize) {
        cause = "a resident size beyond 64 bits of bytes";
        return std::nullopt;
    }
    return *resident;
}
