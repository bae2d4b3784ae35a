#include "engine/foundation/files/TFile.h"

#include "engine/foundation/files/TDiskFileData.h"
#include "engine/foundation/files/TFlatFileMap.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/files/TPathMap.h"

namespace {

std::unique_ptr<TFileData> MakeBackend(const TString& location)
{
    switch (location.CharAt(0)) {
    case '@':
        return std::make_unique<TFlatFileMap>();
    case '&':
        return std::make_unique<TMemoryFile>();
    default:
        return std::make_unique<TDiskFileData>();
    }
}

bool IsReadMode(TFileMode mode)
{
    return mode < kFileWriteBinary;
}

// Multiplies a stdio-style element size and count, refusing an overflow.
bool ByteCount(size_t size, size_t count, size_t& bytes)
{
    if (size != 0 && count > SIZE_MAX / size) {
        return false;
    }
    bytes = size * count;
    return true;
}

} // namespace

bool TFile::Open(const TString& path, TFileMode mode)
{
    Close();
    const TString location = ResolvePath(path, IsReadMode(mode));
    if (location.Length() == 0) {
        return false;
    }
    std::unique_ptr<TFileData> data = MakeBackend(location);
    if (!IsReadMode(mode) && IsDiskLocation(location)) {
        TPathMap::Get().CreateFoldersFor(location);
    }
    if (!data->Open(location, mode)) {
        return false;
    }
    mData = std::move(data);
    return true;
}

void TFile::Seek(int64_t offset, TSeekOrigin origin)
{
    if (mData) {
        mData->Seek(offset, origin);
    }
}

int64_t TFile::GetSize()
{
    return mData ? mData->GetSize() : 0;
}

int64_t TFile::Tell()
{
    return mData ? mData->Tell() : -1;
}

size_t TFile::Read(void* buffer, size_t count)
{
    return mData ? mData->Read(buffer, count) : 0;
}

size_t TFile::Write(const void* buffer, size_t count)
{
    return mData ? mData->Write(buffer, count) : 0;
}

void TFile::Unget()
{
    if (mData) {
        mData->Unget();
    }
}

bool TFile::Eof()
{
    return mData ? mData->Eof() : true;
}

TFile* FileOpen(const TString& path, TFileMode mode)
{
    auto file = std::make_unique<TFile>();
    if (!file->Open(path, mode)) {
        return nullptr;
    }
    return file.release();
}

void FileClose(TFile* file)
{
    delete file;
}

size_t FileRead(void* buffer, size_t size, size_t count, TFile* file)
{
    size_t bytes = 0;
    if (file == nullptr || size == 0 || !ByteCount(size, count, bytes)) {
        return 0;
    }
    return file->Read(buffer, bytes) / size;
}

size_t FileWrite(const void* buffer, size_t size, size_t count, TFile* file)
{
    size_t bytes = 0;
    if (file == nullptr || size == 0 || !ByteCount(size, count, bytes)) {
        return 0;
    }
    return file->Write(buffer, bytes) / size;
}

void FileSeek(TFile* file, int64_t offset, TSeekOrigin origin)
{
    if (file != nullptr) {
        file->Seek(offset, origin);
    }
}

int64_t FileTell(TFile* file)
{
    return file != nullptr ? file->Tell() : -1;
}

bool FileEof(TFile* file)
{
    return file == nullptr || file->Eof();
}

void FileUngetc(TFile* file)
{
    if (file != nullptr) {
        file->Unget();
    }
}

int FileGetc(TFile* file)
{
    if (file == nullptr || file->Eof()) {
        return -1;
    }
    unsigned char byte = 0;
    if (file->Read(&byte, 1) != 1) {
        return -1;
    }
    return byte;
}

int FileError(TFile* file)
{
    return file == nullptr || !file->IsOpen() ? 1 : 0;
}

bool FileExists(const TString& path)
{
    return ResolvePath(path, true).Length() > 0;
}
