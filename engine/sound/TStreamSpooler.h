#pragma once

#include <cstdint>

// A source of interleaved 16-bit PCM for a stream. Called under the sound manager's lock,
// from the main thread (the first fill) and the service thread (refills).
class TStreamSpooler
{
public:
    virtual ~TStreamSpooler() = default;

    // Fills bytes bytes of buffer: sound from the current position and silence after its
    // end; delivered counts the bytes of sound. With loop, the sound starts again at its
    // end. True while more sound follows; false once its end was reached (without loop),
    // when the sound is empty, or when the sound is gone.
    virtual bool Read(uint32_t bytes, void* buffer, uint32_t& delivered, bool loop) = 0;
    // Moves to the frame at seconds (kept within the sound).
    virtual void Seek(double seconds) = 0;
    // Back to the start.
    virtual void Rewind() {}
    // The sound's duration in seconds; 0 when it is gone.
    virtual double GetLength() const = 0;
};
