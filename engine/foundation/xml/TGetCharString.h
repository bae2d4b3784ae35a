#pragma once

#include "engine/foundation/xml/TGetChar.h"

#include <cstddef>

// Bytes in memory; the caller keeps them alive while the source is read.
class TGetCharString final : public TGetChar
{
public:
    TGetCharString(const char* data, size_t length) : mData(data), mLength(length) {}

    int Unget(int c) override;
    int GetChar() override;
    void Rewind() override { mPosition = 0; }

private:
    const char* mData;
    size_t mLength;
    size_t mPosition = 0;
};
