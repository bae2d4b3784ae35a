#pragma once

#include "engine/foundation/files/TFileWindow.h"

// Reads a memory block registered under a file name with RegisterMemoryFile. Locations
// have the form "&<address>,<length>" in unsigned decimal. Read-only: write modes fail
// to open. Eof is true as soon as the position reaches the length.
class TMemoryFile final : public TFileWindow
{
public:
    bool Open(const TString& location, TFileMode mode) override;
    void Close() override { ClearWindow(); }
    void Unget() override { Seek(-1, kSeekCurrent); }
    void Seek(int64_t offset, TSeekOrigin origin) override { MoveTo(offset, origin); }
    size_t Read(void* buffer, size_t count) override;
    bool Eof() override { return IsAtEnd(); }

    // The location that names a block.
    static TString MakeLocation(const void* address, size_t length);
};

// Registers the block under the lower-cased name in the path map, replacing any entry of
// that name; a null address removes the entry instead. The block is not copied: it must
// stay valid and unchanged while registered and while any handle reads it.
void RegisterMemoryFile(const TString& name, const void* address, size_t length);
