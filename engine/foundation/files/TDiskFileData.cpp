#include "engine/foundation/files/TDiskFileData.h"

#include "engine/platform/TFileSystem.h"

TDiskFileData::~TDiskFileData()
{
    Close();
}

const char* TDiskFileData::ModeName(TFileMode mode)
{
    switch (mode) {
    case kFileReadBinary:
        return "rb";
    case kFileWriteBinary:
        return "wb";
    case kFileWriteText:
        return "w";
    case kFileAppendBinary:
        return "ab";
    case kFileAppendText:
        return "a";
    default:
        return "r";
    }
}

bool TDiskFileData::Open(const TString& location, TFileMode mode)
{
    Close();
    // stdio here would open a folder for reading; its "size" is then meaningless.
    if (location.Length() == 0 || TFileSystem::Get().IsFolder(location.CStr())) {
        return false;
    }
    mStream = std::fopen(location.CStr(), ModeName(mode));
    return mStream != nullptr;
}

void TDiskFileData::Close()
{
    if (mStream != nullptr) {
        std::fclose(mStream);
        mStream = nullptr;
    }
    mLastByte = -1;
}

void TDiskFileData::Unget()
{
    if (mStream != nullptr && mLastByte >= 0) {
        std::ungetc(mLastByte, mStream);
    }
    mLastByte = -1;
}

void TDiskFileData::Seek(int64_t offset, TSeekOrigin origin)
{
    if (mStream == nullptr) {
        return;
    }
    const int whence = origin == kSeekCurrent ? SEEK_CUR : origin == kSeekEnd ? SEEK_END : SEEK_SET;
    std::fseek(mStream, static_cast<long>(offset), whence);
    mLastByte = -1; // a pushed-back byte would no longer belong before the position
}

int64_t TDiskFileData::GetSize()
{
    if (mStream == nullptr) {
        return 0;
    }
    const long position = std::ftell(mStream);
    std::fseek(mStream, 0, SEEK_END);
    const long size = std::ftell(mStream);
    std::fseek(mStream, position, SEEK_SET);
    return size < 0 ? 0 : size;
}

int64_t TDiskFileData::Tell()
{
    return mStream != nullptr ? std::ftell(mStream) : -1;
}

size_t TDiskFileData::Read(void* buffer, size_t count)
{
    if (mStream == nullptr || count == 0) {
        return 0;
    }
    const size_t done = std::fread(buffer, 1, count, mStream);
    if (done > 0) {
        mLastByte = static_cast<const unsigned char*>(buffer)[done - 1];
    }
    return done;
}

size_t TDiskFileData::Write(const void* buffer, size_t count)
{
    if (mStream == nullptr || count == 0) {
        return 0;
    }
    return std::fwrite(buffer, 1, count, mStream);
}

bool TDiskFileData::Eof()
{
    return mStream == nullptr || std::feof(mStream) != 0;
}
