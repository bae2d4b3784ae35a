#pragma once

#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TMappedFile;

// One read-only mapping of a whole file.
class TFileMapData
{
public:
    TFileMapData();
    ~TFileMapData();
    TFileMapData(const TFileMapData&) = delete;
    TFileMapData& operator=(const TFileMapData&) = delete;

    // Unmaps whatever is mapped, then maps the file at path: a leading "::" is resolved
    // like a "::" virtual path (relative to the working folder), anything else is a disk
    // path. False when the file is missing, empty or cannot be mapped.
    bool Open(const TString& path);
    // Safe twice and when nothing is mapped.
    void Close();
    // The first mapped byte, or null when nothing is mapped.
    const uint8_t* GetView() const;
    // Mapped bytes; 0 when nothing is mapped.
    size_t GetSize() const;

private:
    std::unique_ptr<TMappedFile> mMapping;
};
