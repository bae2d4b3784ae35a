#pragma once

// Sounds made from nothing: tones synthesised as 16-bit PCM and encoded as Ogg Vorbis
// with libvorbisenc. Tests, benchmarks, fuzz targets and the sound demo make their
// fixtures with it, and the build makes the content's interface sounds with the oggsynth
// tool (assets-src/**/*.synth), so no sound file is ever committed.

#include <cstdint>
#include <string>
#include <vector>

struct TToneSpec
{
    double seconds = 1.0;
    int sampleRate = 44100;
    int channels = 2;
    double frequency = 440.0; // a sine of this frequency, the same on every channel
    double amplitude = 0.5;   // peak, as a fraction of full scale

    // The shape of short interface sounds; the defaults leave a steady sine.
    double glideTo = 0.0;       // > 0: the pitch slides evenly in octaves to this by the end
    double overtone = 0.0;      // > 0: a second sine at this multiple of the pitch
    double overtoneLevel = 0.0; // its peak relative to the first sine's
    double attack = 0.0;        // seconds of fade-in from silence
    double decay = 0.0;         // > 0: seconds in which the level falls to 1/e, again and again
    double release = 0.0;       // seconds of fade-out to silence at the end
};

// The tone's frames, interleaved: round(seconds x rate) frames. The sines' sum is scaled
// so that its peak never exceeds the amplitude.
std::vector<int16_t> SynthesiseTone(const TToneSpec& tone);

// Encodes interleaved frames as one Ogg Vorbis stream at a variable bit rate of the given
// quality (-0.1 .. 1). The same input always gives the same bytes. Empty when the encoder
// refuses the format.
std::string EncodeOggVorbis(const std::vector<int16_t>& frames, int sampleRate, int channels,
                            float quality = 0.5f);

// SynthesiseTone, then EncodeOggVorbis.
std::string MakeToneOgg(const TToneSpec& tone);
