#pragma once

// Test sounds made from nothing: tones synthesised as 16-bit PCM and encoded as Ogg
// Vorbis with libvorbisenc. Tests, benchmarks, fuzz targets and the sound demo make their
// fixtures with it, so no sound file is ever committed; the oggsynth tool writes the
// same sounds to files.

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
};

// The tone's frames, interleaved: round(seconds x rate) frames.
std::vector<int16_t> SynthesiseTone(const TToneSpec& tone);

// Encodes interleaved frames as one Ogg Vorbis stream at a variable bit rate of the given
// quality (-0.1 .. 1). The same input always gives the same bytes. Empty when the encoder
// refuses the format.
std::string EncodeOggVorbis(const std::vector<int16_t>& frames, int sampleRate, int channels,
                            float quality = 0.5f);

// SynthesiseTone, then EncodeOggVorbis.
std::string MakeToneOgg(const TToneSpec& tone);
