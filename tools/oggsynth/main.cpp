// oggsynth: writes a synthesised tone as an Ogg Vorbis file.
// usage: oggsynth OUT.ogg [--OPTION VALUE]... (the options are listed in kOptions)
#include "tools/oggsynth/synth/SoundSynth.h"
#include "tools/support/ToolFiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct TOption
{
    const char* mName;
    double TToneSpec::*mField;
};

const TOption kOptions[] = {
    {"--seconds", &TToneSpec::seconds},     {"--frequency", &TToneSpec::frequency},
    {"--amplitude", &TToneSpec::amplitude}, {"--glide-to", &TToneSpec::glideTo},
    {"--overtone", &TToneSpec::overtone},   {"--overtone-level", &TToneSpec::overtoneLevel},
    {"--attack", &TToneSpec::attack},       {"--decay", &TToneSpec::decay},
    {"--release", &TToneSpec::release},
};

int Usage()
{
    std::fprintf(stderr, "usage: oggsynth OUT.ogg [--seconds S] [--rate HZ] [--channels N] "
                         "[--frequency HZ] [--amplitude A] [--quality Q] [--glide-to HZ] "
                         "[--overtone RATIO] [--overtone-level L] [--attack S] [--decay S] "
                         "[--release S]\n");
    return 2;
}

// Stores one option's value; false for an unknown option.
bool SetOption(const char* option, double value, TToneSpec& tone, float& quality)
{
    for (const TOption& known : kOptions) {
        if (std::strcmp(option, known.mName) == 0) {
            tone.*known.mField = value;
            return true;
        }
    }
    if (std::strcmp(option, "--rate") == 0)
        tone.sampleRate = static_cast<int>(value);
    else if (std::strcmp(option, "--channels") == 0)
        tone.channels = static_cast<int>(value);
    else if (std::strcmp(option, "--quality") == 0)
        quality = static_cast<float>(value);
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc % 2 != 0)
        return Usage();
    TToneSpec tone;
    float quality = 0.5f;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!SetOption(argv[i], std::atof(argv[i + 1]), tone, quality))
            return Usage();
    }
    const std::string bytes =
        EncodeOggVorbis(SynthesiseTone(tone), tone.sampleRate, tone.channels, quality);
    if (bytes.empty()) {
        std::fprintf(stderr, "oggsynth: the encoder refuses %d channels at %d Hz\n", tone.channels,
                     tone.sampleRate);
        return 1;
    }
    return WriteOutputFile("oggsynth", argv[1], bytes) ? 0 : 1;
}
