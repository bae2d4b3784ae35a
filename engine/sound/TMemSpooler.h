#pragma once

#include "engine/sound/TStreamSpooler.h"

#include <memory>

class TSoundData;

// Reads a sound's TSoundData: a copy from its decoded PCM, or, for a sound decoded while
// it plays, from its Ogg Vorbis decoder. All playbacks of a sound share that one decoder;
// each spooler keeps its own position and seeks the decoder there before every read, so
// the playbacks never disturb one another (the sound manager's lock keeps them apart).
class TMemSpooler final : public TStreamSpooler
{
public:
    // Refers to data without keeping it alive: a sound that goes ends its playbacks.
    explicit TMemSpooler(const std::shared_ptr<TSoundData>& data);

    bool Read(uint32_t bytes, void* buffer, uint32_t& delivered, bool loop) override;
    void Seek(double seconds) override;
    void Rewind() override;
    double GetLength() const override;

private:
    // One pass from the current position; true when the sound's end was reached.
    bool ReadPcm(TSoundData& data, uint8_t* out, uint32_t bytes, uint32_t& delivered);
    bool ReadDecoder(TSoundData& data, uint8_t* out, uint32_t bytes, uint32_t& delivered);

    std::weak_ptr<TSoundData> mData;
    // A byte offset into decoded PCM, or a frame for a decoder.
    uint64_t mPosition = 0;
};
