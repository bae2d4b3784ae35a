#pragma once

// The engine's file handle and its stdio-like functions. Every file the engine reads or
// writes is opened by a virtual path, which ResolvePath (TPathMap.h) turns into a real
// location: a disk path, an entry of a package (TFlatFileMap) or a registered memory
// block (TMemoryFile). The handle owns one backend (TFileData) while open.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/files/TFileData.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TFile
{
public:
    TFile() = default;
    ~TFile() = default; // closes the backend
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Resolves path (the must-exist rule applies to read modes) and opens the backend its
    // location names. Write modes create the missing folders of a path in the user or
    // common data folder first. False leaves the handle closed.
    bool Open(const TString& path, TFileMode mode);
    bool IsOpen() const { return mData != nullptr; }
    // Deletes the backend; safe when closed.
    void Close() { mData.reset(); }

    // Each forwards to the backend; on a closed handle they return the value given.
    void Seek(int64_t offset, TSeekOrigin origin);  // nothing
    int64_t GetSize();                              // 0
    int64_t Tell();                                 // -1
    size_t Read(void* buffer, size_t count);        // 0
    size_t Write(const void* buffer, size_t count); // 0
    void Unget();                                   // nothing
    bool Eof();                                     // true

private:
    std::unique_ptr<TFileData> mData;
};

// A new open handle, or null when the path cannot be opened in that mode. The caller
// closes it with FileClose.
TFile* FileOpen(const TString& path, TFileMode mode);
// Closes and deletes the handle; null is accepted.
void FileClose(TFile* file);
size_t FileRead(void* buffer, size_t size, size_t count, TFile* file);
size_t FileWrite(const void* buffer, size_t size, size_t count, TFile* file);
void FileSeek(TFile* file, int64_t offset, TSeekOrigin origin);
int64_t FileTell(TFile* file);
bool FileEof(TFile* file);
void FileUngetc(TFile* file);
// The next byte (0..255), or -1 when Eof is already true or no byte could be read.
int FileGetc(TFile* file);
// 1 when the handle has no backend (or is null), else 0.
int FileError(TFile* file);
// True when ResolvePath with the must-exist flag finds a location.
bool FileExists(const TString& path);
