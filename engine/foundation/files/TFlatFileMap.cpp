#include "engine/foundation/files/TFlatFileMap.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPackageList.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

TString TFlatFileMap::MakeLocation(int index, uint32_t offset, uint32_t length)
{
    return TString::Printf("@%d:%u,%u", index, offset, length);
}

bool TFlatFileMap::Open(const TString& location, TFileMode mode)
{
    Close();
    const char* text = location.CStr();
    if (text[0] != '@') {
        return false;
    }
    const long index = std::strtol(text + 1, nullptr, 10);
    const TFileMapHandler* package = TPackageList::Get().At(index);
    if (package == nullptr) {
        return false;
    }
    if (package->GetView() == nullptr) {
        TraceLog("error reading %s from flat file", text);
        return false;
    }
    const char* colon = std::strchr(text, ':');
    const char* comma = std::strchr(text, ',');
    if (colon == nullptr || comma == nullptr) {
        return false;
    }
    const uint64_t offset = std::strtoull(colon + 1, nullptr, 10);
    const uint64_t length = std::strtoull(comma + 1, nullptr, 10);
    const uint64_t size = package->GetSize();
    if (offset > size || length > size - offset) {
        TraceLog("package: %s: entry %s lies outside the file", package->GetPath().CStr(), text);
        return false;
    }
    mMapping = package->GetData();
    SetWindow(package->GetView() + offset, length, mode);
    mEof = false;
    return true;
}

void TFlatFileMap::Close()
{
    ClearWindow();
    mMapping.reset();
    mEof = true;
}

void TFlatFileMap::Unget()
{
    Seek(-1, kSeekCurrent);
    mEof = false;
}

void TFlatFileMap::Seek(int64_t offset, TSeekOrigin origin)
{
    if (!MoveTo(offset, origin)) {
        mEof = false;
    }
}

size_t TFlatFileMap::Read(void* buffer, size_t count)
{
    bool shortRead = false;
    const size_t done = ReadWindow(buffer, count, shortRead);
    if (shortRead) {
        mEof = true;
    }
    return done;
}
