#include "engine/foundation/xml/TGetCharFile.h"

#include "engine/foundation/files/TFile.h"

TGetCharFile::TGetCharFile(const TString& name) : mName(name)
{
    mFile = FileOpen(name, kFileReadText);
}

TGetCharFile::~TGetCharFile()
{
    FileClose(mFile);
}

bool TGetCharFile::ReopenBinary()
{
    FileClose(mFile);
    mFile = FileOpen(mName, kFileReadBinary);
    return mFile != nullptr;
}

int TGetCharFile::Unget(int c)
{
    if (mFile == nullptr || FileTell(mFile) <= 0) {
        return -1;
    }
    FileSeek(mFile, -1, kSeekCurrent);
    return c;
}

int TGetCharFile::GetChar()
{
    return FileGetc(mFile);
}

void TGetCharFile::Rewind()
{
    FileSeek(mFile, 0, kSeekStart);
}
