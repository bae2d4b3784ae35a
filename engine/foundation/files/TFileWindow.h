#pragma once

#include "engine/foundation/files/TFileData.h"

// The shared part of the read-only backends whose bytes already lie in memory
// (TMemoryFile, TFlatFileMap): a window of length bytes at an address, a read position
// and the open mode. The window never owns the bytes.
class TFileWindow : public TFileData
{
public:
    int64_t GetSize() override { return static_cast<int64_t>(mLength); }
    int64_t Tell() override { return static_cast<int64_t>(mPosition); }
    size_t Write(const void*, size_t) override { return 0; }

protected:
    void SetWindow(const uint8_t* address, uint64_t length, TFileMode mode);
    void ClearWindow();
    // Origin kSeekCurrent adds, kSeekStart sets, kSeekEnd sets length + offset, any other
    // origin keeps the position. A position beyond the length (a negative one too, as
    // the comparison is unsigned) becomes the length; the result is then true.
    bool MoveTo(int64_t offset, TSeekOrigin origin);
    // Copies at most count bytes from the position on. In text mode (kFileReadText)
    // carriage returns are consumed but not stored, so the position can move further
    // than the count returned. shortRead tells that fewer bytes remained than asked.
    size_t ReadWindow(void* buffer, size_t count, bool& shortRead);

    bool IsAtEnd() const { return mPosition == mLength; }

private:
    const uint8_t* mAddress = nullptr;
    uint64_t mLength = 0;
    uint64_t mPosition = 0;
    TFileMode mMode = kFileReadBinary;
};
