#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/files/TFileMapData.h"

#include <memory>

// A package file's read-only mapping and the path it was opened by. Copies of a handler
// share one mapping; so does every open package entry (TFlatFileMap), and the view is
// unmapped when the last of them lets go.
class TFileMapHandler
{
public:
    virtual ~TFileMapHandler() = default;

    // Remembers path and maps the file into a new mapping; false when it cannot be mapped
    // (the path is remembered either way).
    bool Open(const TString& path);
    // Drops this handler's share of the mapping.
    void Close() { mData.reset(); }
    // The view's first byte, or null when not mapped.
    const uint8_t* GetView() const { return mData ? mData->GetView() : nullptr; }
    size_t GetSize() const { return mData ? mData->GetSize() : 0; }
    const TString& GetPath() const { return mPath; }
    // The shared mapping, for readers that must keep it alive; null when not mapped.
    std::shared_ptr<const TFileMapData> GetData() const { return mData; }

private:
    std::shared_ptr<TFileMapData> mData;
    TString mPath;
};
