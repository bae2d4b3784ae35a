// oggsynth: writes a sine tone as an Ogg Vorbis file.
// usage: oggsynth OUT.ogg [--seconds S] [--rate HZ] [--channels N] [--frequency HZ]
//                         [--amplitude A] [--quality Q]
#include "tools/oggsynth/synth/SoundSynth.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: oggsynth OUT.ogg [--seconds S] [--rate HZ] [--channels N] "
                         "[--frequency HZ] [--amplitude A] [--quality Q]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc % 2 != 0)
        return Usage();
    TToneSpec tone;
    float quality = 0.5f;
    for (int i = 2; i + 1 < argc; i += 2) {
        const char* option = argv[i];
        const double value = std::atof(argv[i + 1]);
        if (std::strcmp(option, "--seconds") == 0)
            tone.seconds = value;
        else if (std::strcmp(option, "--rate") == 0)
            tone.sampleRate = static_cast<int>(value);
        else if (std::strcmp(option, "--channels") == 0)
            tone.channels = static_cast<int>(value);
        else if (std::strcmp(option, "--frequency") == 0)
            tone.frequency = value;
        else if (std::strcmp(option, "--amplitude") == 0)
            tone.amplitude = value;
        else if (std::strcmp(option, "--quality") == 0)
            quality = static_cast<float>(value);
        else
            return Usage();
    }
    const std::string bytes =
        EncodeOggVorbis(SynthesiseTone(tone), tone.sampleRate, tone.channels, quality);
    if (bytes.empty()) {
        std::fprintf(stderr, "oggsynth: the encoder refuses %d channels at %d Hz\n", tone.channels,
                     tone.sampleRate);
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "oggsynth: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
