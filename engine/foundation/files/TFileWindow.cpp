#include "engine/foundation/files/TFileWindow.h"

#include <cstring>

void TFileWindow::SetWindow(const uint8_t* address, uint64_t length, TFileMode mode)
{
    mAddress = address;
    mLength = length;
    mPosition = 0;
    mMode = mode;
}

void TFileWindow::ClearWindow()
{
    mAddress = nullptr;
    mLength = 0;
    mPosition = 0;
}

bool TFileWindow::MoveTo(int64_t offset, TSeekOrigin origin)
{
    uint64_t position = mPosition;
    // Unsigned arithmetic wraps instead of overflowing; a wrapped result lands above the
    // length and is clamped below, like a negative one.
    switch (origin) {
    case kSeekCurrent:
        position = mPosition + static_cast<uint64_t>(offset);
        break;
    case kSeekStart:
        position = static_cast<uint64_t>(offset);
        break;
    case kSeekEnd:
        position = mLength + static_cast<uint64_t>(offset);
        break;
    default:
        break;
    }
    if (position > mLength) {
        mPosition = mLength;
        return true;
    }
    mPosition = position;
    return false;
}

size_t TFileWindow::ReadWindow(void* buffer, size_t count, bool& shortRead)
{
    const uint64_t remaining = mLength - mPosition;
    shortRead = count > remaining;
    if (shortRead) {
        count = static_cast<size_t>(remaining);
    }
    if (count == 0 || mAddress == nullptr) {
        return 0;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    if (mMode != kFileReadText) {
        std::memcpy(out, mAddress + mPosition, count);
        mPosition += count;
        return count;
    }
    size_t kept = 0;
    while (kept < count && mPosition < mLength) {
        const uint8_t byte = mAddress[mPosition++];
        if (byte != '\r') {
            out[kept++] = byte;
        }
    }
    return kept;
}
