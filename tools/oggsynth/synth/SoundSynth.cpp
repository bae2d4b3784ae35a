#include "tools/oggsynth/synth/SoundSynth.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSerialNumber = 0x766c6d72; // fixed, so output is reproducible
constexpr int kFramesPerWrite = 1024;

// Holds the encoder's state for one stream and frees it in the right order.
class TVorbisWriter
{
public:
    TVorbisWriter() { vorbis_info_init(&mInfo); }
    ~TVorbisWriter()
    {
        if (mStarted) {
            ogg_stream_clear(&mStream);
            vorbis_block_clear(&mBlock);
            vorbis_dsp_clear(&mDsp);
            vorbis_comment_clear(&mComment);
        }
        vorbis_info_clear(&mInfo);
    }
    TVorbisWriter(const TVorbisWriter&) = delete;
    TVorbisWriter& operator=(const TVorbisWriter&) = delete;

    bool Start(int sampleRate, int channels, float quality)
    {
        if (vorbis_encode_init_vbr(&mInfo, channels, sampleRate, quality) != 0)
            return false;
        vorbis_comment_init(&mComment);
        vorbis_analysis_init(&mDsp, &mInfo);
        vorbis_block_init(&mDsp, &mBlock);
        ogg_stream_init(&mStream, kSerialNumber);
        mStarted = true;
        ogg_packet header, comments, codebooks;
        vorbis_analysis_headerout(&mDsp, &mComment, &header, &comments, &codebooks);
        ogg_stream_packetin(&mStream, &header);
        ogg_stream_packetin(&mStream, &comments);
        ogg_stream_packetin(&mStream, &codebooks);
        // The audio starts on a page of its own.
        ogg_page page;
        while (ogg_stream_flush(&mStream, &page) != 0)
            Append(page);
        return true;
    }

    // frameCount frames from interleaved; 0 frames ends the stream.
    void Write(const int16_t* interleaved, int frameCount, int channels)
    {
        if (frameCount > 0) {
            float** planes = vorbis_analysis_buffer(&mDsp, frameCount);
            for (int i = 0; i < frameCount; ++i)
                for (int c = 0; c < channels; ++c)
                    planes[c][i] = interleaved[i * channels + c] / 32768.0f;
        }
        vorbis_analysis_wrote(&mDsp, frameCount);
        Drain();
    }

    std::string TakeBytes() { return std::move(mBytes); }

private:
    void Drain()
    {
        while (vorbis_analysis_blockout(&mDsp, &mBlock) == 1) {
            vorbis_analysis(&mBlock, nullptr);
            vorbis_bitrate_addblock(&mBlock);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&mDsp, &packet) != 0) {
                ogg_stream_packetin(&mStream, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&mStream, &page) != 0)
                    Append(page);
            }
        }
        ogg_page page;
        if (ogg_stream_eos(&mStream) == 0)
            return;
        while (ogg_stream_flush(&mStream, &page) != 0)
            Append(page);
    }

    void Append(const ogg_page& page)
    {
        mBytes.append(reinterpret_cast<const char*>(page.header), page.header_len);
        mBytes.append(reinterpret_cast<const char*>(page.body), page.body_len);
    }

    vorbis_info mInfo;
    vorbis_comment mComment;
    vorbis_dsp_state mDsp;
    vorbis_block mBlock;
    ogg_stream_state mStream;
    bool mStarted = false;
    std::string mBytes;
};

// The phase of the tone at frame i, in radians: a steady pitch, or one that slides
// exponentially (evenly in octaves) from the frequency to glideTo over the whole tone.
double PhaseAt(const TToneSpec& tone, long i)
{
    if (tone.glideTo <= 0.0 || tone.glideTo == tone.frequency || tone.seconds <= 0.0)
        return 2.0 * M_PI * tone.frequency / tone.sampleRate * i;
    const double t = static_cast<double>(i) / tone.sampleRate;
    const double rate = std::log(tone.glideTo / tone.frequency) / tone.seconds;
    return 2.0 * M_PI * tone.frequency * std::expm1(rate * t) / rate;
}

// The level envelope at time t of a tone that lasts seconds: fade-in, decay, fade-out.
double EnvelopeAt(const TToneSpec& tone, double t)
{
    double level = 1.0;
    if (tone.attack > 0.0 && t < tone.attack)
        level *= t / tone.attack;
    if (tone.decay > 0.0)
        level *= std::exp(-t / tone.decay);
    const double left = tone.seconds - t;
    if (tone.release > 0.0 && left < tone.release)
        level *= std::max(left, 0.0) / tone.release;
    return level;
}

} // namespace

std::vector<int16_t> SynthesiseTone(const TToneSpec& tone)
{
    const int channels = std::max(tone.channels, 1);
    const long frames = std::lround(std::max(tone.seconds, 0.0) * tone.sampleRate);
    const double overtoneLevel = tone.overtone > 0.0 ? std::max(tone.overtoneLevel, 0.0) : 0.0;
    const double scale = std::clamp(tone.amplitude, 0.0, 1.0) * 32767.0 / (1.0 + overtoneLevel);
    std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
    for (long i = 0; i < frames; ++i) {
        const double phase = PhaseAt(tone, i);
        double wave = std::sin(phase);
        if (overtoneLevel > 0.0)
            wave += overtoneLevel * std::sin(phase * tone.overtone);
        const double t = static_cast<double>(i) / tone.sampleRate;
        const auto value = static_cast<int16_t>(std::lround(scale * EnvelopeAt(tone, t) * wave));
        std::fill_n(samples.begin() + i * channels, channels, value);
    }
    return samples;
}

std::string EncodeOggVorbis(const std::vector<int16_t>& frames, int sampleRate, int channels,
                            float quality)
{
    if (channels < 1)
        return {};
    TVorbisWriter writer;
    if (!writer.Start(sampleRate, channels, quality))
        return {};
    const int total = static_cast<int>(frames.size() / channels);
    for (int done = 0; done < total; done += kFramesPerWrite)
        writer.Write(frames.data() + static_cast<size_t>(done) * channels,
                     std::min(kFramesPerWrite, total - done), channels);
    writer.Write(nullptr, 0, channels);
    return writer.TakeBytes();
}

std::string MakeToneOgg(const TToneSpec& tone)
{
    return EncodeOggVorbis(SynthesiseTone(tone), tone.sampleRate, tone.channels);
}
