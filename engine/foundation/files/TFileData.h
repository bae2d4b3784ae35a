#pragma once

// The backend behind a TFile: one object per open file. TFile picks the backend from
// the first character of the resolved location ("@" package entry, "&" memory block,
// anything else a disk path) and forwards every operation to it.

#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <cstdint>

// Open modes of TFile and FileOpen. Modes below kFileWriteBinary are read modes: the
// file must exist. Any other value opens as kFileReadText.
enum TFileMode : int
{
    kFileReadBinary = 0,
    kFileReadText = 1,
    kFileWriteBinary = 2,
    kFileWriteText = 3,
    kFileAppendBinary = 4,
    kFileAppendText = 5,
};

// Seek origins in the engine's own numbering (not stdio's).
enum TSeekOrigin : int
{
    kSeekCurrent = 0,
    kSeekStart = 1,
    kSeekEnd = 2,
};

class TFileData
{
public:
    virtual ~TFileData() = default;

    // Opens the resolved location in the given mode; false leaves the backend closed.
    virtual bool Open(const TString& location, TFileMode mode) = 0;
    // Safe twice and after a failed Open.
    virtual void Close() = 0;
    // Steps back over the last byte read.
    virtual void Unget() = 0;
    virtual void Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t GetSize() = 0;
    virtual int64_t Tell() = 0;
    // Returns the number of bytes stored into buffer.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Returns the number of bytes written; read-only backends write nothing.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual bool Eof() = 0;
};
