#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/xml/TGetChar.h"

class TFile;

// An engine file opened by name in read-text mode.
class TGetCharFile final : public TGetChar
{
public:
    explicit TGetCharFile(const TString& name);
    ~TGetCharFile() override;
    TGetCharFile(const TGetCharFile&) = delete;
    TGetCharFile& operator=(const TGetCharFile&) = delete;

    bool IsOpen() const { return mFile != nullptr; }
    // Closes the file and opens the same name again in binary mode.
    bool ReopenBinary();
    TFile* GetFile() const { return mFile; }

    int Unget(int c) override;
    int GetChar() override;
    void Rewind() override;

private:
    TString mName;
    TFile* mFile = nullptr;
};
