// oggsynth: writes a synthesised tone as an Ogg Vorbis file.
// usage: oggsynth OUT.ogg [--OPTION VALUE]... (the options, their ranges and their help
// lines are listed in kOptions)
#include "tools/oggsynth/synth/SoundSynth.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"
#include "tools/support/ToolOptions.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct TSettings
{
    TToneSpec tone;
    float quality = 0.5f;
};

struct TOption
{
    const char* mName;
    const char* mValue; // the value's name in the help
    const char* mWhat;
    double mMin;
    double mMax;
    bool mWhole;
    void (*mStore)(TSettings& settings, double value);
};

// Every value is checked against its range before anything is synthesised: a length or
// rate out of range would otherwise ask for more memory than there is.
const TOption kOptions[] = {
    {"--seconds", "S", "length (default 1)", 0.001, 600, false,
     [](TSettings& s, double v) { s.tone.seconds = v; }},
    {"--rate", "HZ", "frames a second (default 44100)", 8000, 192000, true,
     [](TSettings& s, double v) { s.tone.sampleRate = static_cast<int>(v); }},
    {"--channels", "N", "channels, each the same tone (default 2)", 1, 8, true,
     [](TSettings& s, double v) { s.tone.channels = static_cast<int>(v); }},
    {"--frequency", "HZ", "the sine's pitch (default 440)", 1, 96000, false,
     [](TSettings& s, double v) { s.tone.frequency = v; }},
    {"--amplitude", "A", "peak as a fraction of full scale (default 0.5)", 0, 1, false,
     [](TSettings& s, double v) { s.tone.amplitude = v; }},
    {"--quality", "Q", "the encoder's quality (default 0.5)", -0.1, 1, false,
     [](TSettings& s, double v) { s.quality = static_cast<float>(v); }},
    {"--glide-to", "HZ", "slide the pitch to this by the end (0: none)", 0, 96000, false,
     [](TSettings& s, double v) { s.tone.glideTo = v; }},
    {"--overtone", "RATIO", "add a sine at this multiple of the pitch (0: none)", 0, 64, false,
     [](TSettings& s, double v) { s.tone.overtone = v; }},
    {"--overtone-level", "L", "its peak relative to the first sine's", 0, 16, false,
     [](TSettings& s, double v) { s.tone.overtoneLevel = v; }},
    {"--attack", "S", "fade in from silence", 0, 600, false,
     [](TSettings& s, double v) { s.tone.attack = v; }},
    {"--decay", "S", "the level falls to 1/e in this, again and again (0: never)", 0, 600, false,
     [](TSettings& s, double v) { s.tone.decay = v; }},
    {"--release", "S", "fade out to silence at the end", 0, 600, false,
     [](TSettings& s, double v) { s.tone.release = v; }},
};

// The most samples (frames x channels) a tone may have: 256 MiB of them.
constexpr double kMaxSamples = 1 << 27;

std::string OptionLines()
{
    std::string lines;
    for (const TOption& option : kOptions) {
        char line[160];
        const std::string word = std::string(option.mName) + " " + option.mValue;
        std::snprintf(line, sizeof line, "  %-18s  %s, %g to %g\n", word.c_str(), option.mWhat,
                      option.mMin, option.mMax);
        lines += line;
    }
    return lines;
}

const TToolHelp kHelp{"oggsynth", "OUT.ogg [--OPTION VALUE]...",
                      "Synthesises a tone (a sine, with a glide, an overtone and an envelope "
                      "for short effects) and writes it as Ogg Vorbis.",
                      OptionLines()};

// Stores one option's value; false, said on the standard error stream, when the option
// is unknown or its value is not a number in its range.
bool SetOption(const char* name, const char* text, TSettings& settings)
{
    for (const TOption& option : kOptions) {
        if (std::strcmp(name, option.mName) != 0)
            continue;
        double value = 0;
        if (option.mWhole) {
            int64_t whole = 0;
            if (!ReadWholeNumber("oggsynth", name, text, int64_t(option.mMin), int64_t(option.mMax),
                                 whole))
                return false;
            value = double(whole);
        } else if (!ReadNumber("oggsynth", name, text, option.mMin, option.mMax, value)) {
            return false;
        }
        option.mStore(settings, value);
        return true;
    }
    std::fprintf(stderr, "oggsynth: unknown option %s\n", name);
    return false;
}

int Synthesise(int argc, char** argv)
{
    if (argc < 2 || argc % 2 != 0 || argv[1][0] == '-')
        return UsageError(kHelp);
    TSettings settings;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!SetOption(argv[i], argv[i + 1], settings))
            return 2;
    }
    const TToneSpec& tone = settings.tone;
    if (tone.seconds * tone.sampleRate * tone.channels > kMaxSamples) {
        std::fprintf(stderr, "oggsynth: %g s at %d Hz in %d channels is larger than %.0f samples\n",
                     tone.seconds, tone.sampleRate, tone.channels, kMaxSamples);
        return 2;
    }
    const std::string bytes =
        EncodeOggVorbis(SynthesiseTone(tone), tone.sampleRate, tone.channels, settings.quality);
    if (bytes.empty()) {
        std::fprintf(stderr, "oggsynth: the encoder refuses %d channels at %d Hz\n", tone.channels,
                     tone.sampleRate);
        return 1;
    }
    return WriteOutputFile("oggsynth", argv[1], bytes) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Synthesise);
}
