#include "engine/sound/TMemSpooler.h"

#include "engine/sound/TSoundData.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstring>

TMemSpooler::TMemSpooler(const std::shared_ptr<TSoundData>& data) : mData(data) {}

bool TMemSpooler::Read(uint32_t bytes, void* buffer, uint32_t& delivered, bool loop)
{
    delivered = 0;
    std::shared_ptr<TSoundData> data = mData.lock();
    if (!data)
        return false;
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, bytes);
    auto pass = [&](uint32_t& got) {
        return data->GetPcm() != nullptr
                   ? ReadPcm(*data, out + delivered, bytes - delivered, got)
                   : ReadDecoder(*data, out + delivered, bytes - delivered, got);
    };
    uint32_t got = 0;
    bool ended = pass(got);
    delivered += got;
    // Ending means fewer bytes than asked for came; a looping sound starts over for the
    // rest, until a pass from its start brings nothing (an empty sound cannot loop).
    while (ended && loop) {
        Rewind();
        ended = pass(got);
        delivered += got;
        if (got == 0)
            return false;
    }
    return !ended;
}

bool TMemSpooler::ReadPcm(TSoundData& data, uint8_t* out, uint32_t bytes, uint32_t& got)
{
    const uint64_t length = data.GetPcmBytes();
    const uint64_t position = std::min(mPosition, length);
    got = static_cast<uint32_t>(std::min<uint64_t>(bytes, length - position));
    std::memcpy(out, data.GetPcm() + position, got);
    mPosition = position + got;
    return length < position + bytes;
}

bool TMemSpooler::ReadDecoder(TSoundData& data, uint8_t* out, uint32_t bytes, uint32_t& got)
{
    got = 0;
    OggVorbis_File* decoder = data.GetDecoder();
    if (decoder == nullptr)
        return true;
    // Other playbacks of the sound move the shared decoder: it must stand exactly here.
    const auto position = static_cast<ogg_int64_t>(mPosition);
    if (ov_pcm_tell(decoder) != position && ov_pcm_seek(decoder, position) != 0)
        return true;
    bool ended = false;
    while (got < bytes) {
        int section = 0;
        const int want = static_cast<int>(std::min<uint32_t>(bytes - got, INT_MAX));
        const long read =
            ov_read(decoder, reinterpret_cast<char*>(out + got), want, 0, 2, 1, &section);
        if (read <= 0) {
            ended = true;
            break;
        }
        got += static_cast<uint32_t>(read);
    }
    const ogg_int64_t now = ov_pcm_tell(decoder);
    if (now >= 0)
        mPosition = static_cast<uint64_t>(now);
    return ended;
}

void TMemSpooler::Seek(double seconds)
{
    std::shared_ptr<TSoundData> data = mData.lock();
    if (!data)
        return;
    // Kept within the sound, so that a read never starts past its end.
    constexpr double kFarFrame = 1e15;
    const double exact = seconds > 0.0 ? seconds * data->GetSampleRate() : 0.0;
    const auto frame = static_cast<uint64_t>(std::min(exact, kFarFrame));
    if (data->GetPcm() != nullptr) {
        const uint64_t bytesPerFrame = static_cast<uint64_t>(data->GetChannels()) * 2;
        mPosition = std::min<uint64_t>(frame * bytesPerFrame, data->GetPcmBytes());
        return;
    }
    OggVorbis_File* decoder = data->GetDecoder();
    const ogg_int64_t total = decoder != nullptr ? ov_pcm_total(decoder, -1) : 0;
    mPosition = std::min<uint64_t>(frame, static_cast<uint64_t>(std::max<ogg_int64_t>(total, 0)));
}

void TMemSpooler::Rewind()
{
    mPosition = 0;
    std::shared_ptr<TSoundData> data = mData.lock();
    if (data && data->GetDecoder() != nullptr)
        ov_pcm_seek(data->GetDecoder(), 0);
}

double TMemSpooler::GetLength() const
{
    std::shared_ptr<TSoundData> data = mData.lock();
    return data ? data->GetDuration() : 0.0;
}
