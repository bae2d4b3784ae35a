#include "engine/sound/TSoundData.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/platform/TAudioMixer.h"
#include "engine/sound/OggFileSource.h"
#include "engine/sound/OggMemoryFile.h"
#include "engine/sound/TSound.h"
#include "engine/sound/TSoundInstance.h"
#include "engine/sound/TSoundStream.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>

namespace {

// The mixer plays mono and stereo: a file with more channels is refused at load, not at
// every play.
constexpr int kMaxChannels = 2;

const ov_callbacks kMemoryCallbacks = {OggMemoryRead, OggMemorySeek, OggMemoryClose, OggMemoryTell};
const ov_callbacks kFileCallbacks = {OggFileRead, OggFileSeek, OggFileClose, OggFileTell};

// Why the decoder refused a file, from its error code.
const char* DecoderRefusal(int error)
{
    switch (error) {
    case OV_EREAD:
        return "cannot be read";
    case OV_ENOTVORBIS:
        return "is no Ogg Vorbis file";
    case OV_EVERSION:
        return "has a Vorbis version the decoder does not know";
    case OV_EBADHEADER:
        return "has a damaged Vorbis header";
    default:
        return "is refused by the Ogg Vorbis decoder";
    }
}

} // namespace

void TSoundData::TDecoderDeleter::operator()(OggVorbis_File* decoder) const
{
    ov_clear(decoder);
    delete decoder;
}

TSoundData::TSoundData() = default;

TSoundData::~TSoundData() = default;

TSoundData::TDecoder TSoundData::Open(TFile* file, bool streaming, int& error)
{
    auto* decoder = new OggVorbis_File();
    int result = 0;
    // When opening fails the decoder does not close its source: that is done here, once.
    if (streaming) {
        result = ov_open_callbacks(file, decoder, nullptr, 0, kFileCallbacks);
        if (result != 0)
            FileClose(file);
    } else {
        OggMemoryFile* memory = ReadOggMemoryFile(file);
        result = ov_open_callbacks(memory, decoder, nullptr, 0, kMemoryCallbacks);
        if (result != 0)
            OggMemoryClose(memory);
    }
    error = result;
    if (result != 0) {
        delete decoder;
        return nullptr;
    }
    return TDecoder(decoder);
}

bool TSoundData::Load(TFile* file, bool streaming)
{
    int error = 0;
    TDecoder decoder = Open(file, streaming, error);
    if (!decoder) {
        TraceLog(kRefusedLog, mName.CStr(), DecoderRefusal(error));
        return false;
    }
    if (!CheckFormat(*decoder))
        return false;
    const double duration = ov_time_total(decoder.get(), -1);
    mDuration = duration > 0.0 ? duration : 0.0; // an error code, or not a number
    if (streaming || mDuration > kDecodeWholeSeconds) {
        mDecoder = std::move(decoder);
        return true;
    }
    DecodeWhole(*decoder);
    return true;
}

bool TSoundData::CheckFormat(OggVorbis_File& decoder)
{
    const vorbis_info* info = ov_info(&decoder, -1);
    if (info == nullptr) {
        TraceLog("sound: %s: has no stream information", mName.CStr());
        return false;
    }
    if (info->channels < 1 || info->channels > kMaxChannels) {
        TraceLog(kChannelsRefusedLog, mName.CStr(), info->channels);
        return false;
    }
    if (info->rate < TAudioMixer::kMinSampleRate || info->rate > TAudioMixer::kMaxSampleRate) {
        TraceLog("sound: %s: has a rate of %ld Hz; %d to %d Hz play", mName.CStr(), info->rate,
                 TAudioMixer::kMinSampleRate, TAudioMixer::kMaxSampleRate);
        return false;
    }
    mSampleRate = static_cast<int>(info->rate);
    mChannels = info->channels;
    return true;
}

void TSoundData::DecodeWhole(OggVorbis_File& decoder)
{
    const auto capacity = static_cast<size_t>((mDuration + 0.1) * mChannels * mSampleRate * 2);
    mPcm.assign(capacity + 4, 0);
    mPcmBytes = 0;
    while (mPcmBytes < capacity) {
        const int want = static_cast<int>(std::min<size_t>(capacity - mPcmBytes, INT_MAX));
        int section = 0;
        const long got = ov_read(&decoder, reinterpret_cast<char*>(mPcm.data() + mPcmBytes), want,
                                 0, 2, 1, &section);
        if (got <= 0)
            break;
        mPcmBytes += static_cast<size_t>(got);
    }
}

void TSoundData::StreamFinished(TSoundStream& stream)
{
    // The sound stays alive until its bookkeeping is done.
    std::shared_ptr<TSound> sound = AssetCastRaw<TSound>(mSound);
    if (std::shared_ptr<TSoundInstance> instance = stream.GetInstance())
        mInstances.remove(instance);
}
