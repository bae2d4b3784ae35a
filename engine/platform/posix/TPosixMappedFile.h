#pragma once

#include "engine/platform/TMappedFile.h"

#include <memory>
#include <string>

// A read-only private mmap of a whole file; the descriptor is closed right after
// mapping, the view is unmapped by the destructor.
class TPosixMappedFile final : public TMappedFile
{
public:
    // Null when the file cannot be opened, is not a regular file, is empty or does not
    // fit the address space.
    static std::unique_ptr<TPosixMappedFile> Map(const std::string& path);

    ~TPosixMappedFile() override;
    TPosixMappedFile(const TPosixMappedFile&) = delete;
    TPosixMappedFile& operator=(const TPosixMappedFile&) = delete;

    const uint8_t* GetData() const override { return mData; }
    size_t GetSize() const override { return mSize; }

private:
    TPosixMappedFile(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    const uint8_t* mData;
    size_t mSize;
};
