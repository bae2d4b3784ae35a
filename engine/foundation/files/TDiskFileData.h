#pragma once

#include "engine/foundation/files/TFileData.h"

#include <cstdio>

// A file on disk through a C stdio stream. Files are always opened in binary: text modes
// only differ from binary ones in which stdio mode name they pass, and on this platform
// both read the bytes unchanged.
class TDiskFileData final : public TFileData
{
public:
    ~TDiskFileData() override;

    bool Open(const TString& location, TFileMode mode) override;
    void Close() override;
    // Pushes the last byte read back onto the stream once; a second Unget does nothing.
    void Unget() override;
    void Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t GetSize() override;
    int64_t Tell() override;
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    bool Eof() override;

    // The stdio mode name of an open mode ("rb", "r", "wb", "w", "ab", "a").
    static const char* ModeName(TFileMode mode);

private:
    FILE* mStream = nullptr;
    int mLastByte = -1; // -1 when none, or after an Unget
};
