#pragma once

#include <cstddef>
#include <cstdint>

// A whole file mapped read-only into memory. The bytes stay valid and unchanged until
// the object is destroyed; the destructor unmaps them. Created only by
// TFileSystem::MapReadOnly, so an existing object always has a non-empty view.
class TMappedFile
{
public:
    virtual ~TMappedFile() = default;

    // First byte of the mapping; never null.
    virtual const uint8_t* GetData() const = 0;
    // Size of the mapping in bytes; never 0.
    virtual size_t GetSize() const = 0;
};
