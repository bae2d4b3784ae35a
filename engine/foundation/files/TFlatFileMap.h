#pragma once

#include "engine/foundation/files/TFileWindow.h"

#include <memory>

class TFileMapData;

// Reads one entry of a mapped package file. Locations have the form
// "@<package index>:<offset>,<length>" in decimal. Any mode opens (kFileReadText drops
// carriage returns); writes store nothing. Eof behaves like stdio's: it becomes true only
// when a read asked for more than was left, and a seek inside the entry clears it.
class TFlatFileMap final : public TFileWindow
{
public:
    // Fails when the index names no package, the location lacks its separators, or the
    // entry does not lie inside the package's mapping; a package whose mapping failed
    // logs the failure.
    bool Open(const TString& location, TFileMode mode) override;
    void Close() override;
    void Unget() override;
    void Seek(int64_t offset, TSeekOrigin origin) override;
    size_t Read(void* buffer, size_t count) override;
    bool Eof() override { return mEof; }

    static TString MakeLocation(int index, uint32_t offset, uint32_t length);

private:
    std::shared_ptr<const TFileMapData> mMapping; // keeps the package mapped while open
    bool mEof = true;
};
