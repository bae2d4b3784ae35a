#pragma once

// A byte source for the XML reader.
class TGetChar
{
public:
    virtual ~TGetChar() = default;

    // Steps back over one byte; returns c, or -1 when it cannot step back.
    virtual int Unget(int c) = 0;
    // The next byte as 0..255, or -1 at the end.
    virtual int GetChar() = 0;
    // Back to the first byte.
    virtual void Rewind() = 0;
};
