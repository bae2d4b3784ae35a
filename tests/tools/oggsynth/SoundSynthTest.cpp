// The tone synthesiser's shapes: a steady sine stays as it always was, and the envelope,
// overtone and glide of interface sounds do what their options say.

#include "tools/oggsynth/synth/SoundSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRate = 44100;

TToneSpec Mono(double frequency, double seconds)
{
    TToneSpec tone;
    tone.seconds = seconds;
    tone.sampleRate = kRate;
    tone.channels = 1;
    tone.frequency = frequency;
    tone.amplitude = 0.5;
    return tone;
}

// The largest magnitude between the two times, as a fraction of full scale.
double Peak(const std::vector<int16_t>& samples, double from, double to)
{
    const auto first = static_cast<size_t>(from * kRate);
    const auto last = std::min(samples.size(), static_cast<size_t>(to * kRate));
    int peak = 0;
    for (size_t i = first; i < last; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak / 32767.0;
}

int SignChanges(const std::vector<int16_t>& samples, double from, double to)
{
    int changes = 0;
    for (auto i = static_cast<size_t>(from * kRate) + 1; i < static_cast<size_t>(to * kRate); ++i)
        changes += (samples[i - 1] < 0) != (samples[i] < 0) ? 1 : 0;
    return changes;
}

TEST(SoundSynthTest, ASteadyToneIsThePlainSine)
{
    const TToneSpec tone = Mono(440.0, 0.05);
    const std::vector<int16_t> samples = SynthesiseTone(tone);
    ASSERT_EQ(samples.size(), static_cast<size_t>(std::lround(0.05 * kRate)));
    const double omega = 2.0 * M_PI * 440.0 / kRate;
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], std::lround(0.5 * 32767.0 * std::sin(omega * i))) << i;
}

TEST(SoundSynthTest, TheEnvelopeAndOvertoneShapeTheLevel)
{
    struct TCase
    {
        const char* mWhat;
        double TToneSpec::*mField;
        double mValue;
        double mFrom, mTo; // the window looked at, in seconds of a 1 s tone of 1 kHz
        double mPeak;      // expected, as a fraction of full scale
        double mTolerance;
    };
    const TCase cases[] = {
        {"steady", &TToneSpec::attack, 0.0, 0.0, 0.01, 0.5, 0.001},
        {"half-way through the attack", &TToneSpec::attack, 0.1, 0.049, 0.051, 0.25, 0.01},
        {"silent at the start of the attack", &TToneSpec::attack, 0.1, 0.0, 0.0005, 0.0, 0.003},
        {"one decay time in", &TToneSpec::decay, 0.05, 0.049, 0.051, 0.5 / M_E, 0.01},
        {"three decay times in", &TToneSpec::decay, 0.05, 0.149, 0.151, 0.5 / std::pow(M_E, 3),
         0.005},
        {"half-way through the release", &TToneSpec::release, 0.1, 0.949, 0.951, 0.25, 0.01},
        {"silent at the end of the release", &TToneSpec::release, 0.1, 0.9995, 1.0, 0.0, 0.003},
        // sin x + sin 2x peaks at 1.76; the sum is scaled by 1 / (1 + level).
        {"an octave overtone at full level", &TToneSpec::overtoneLevel, 1.0, 0.0, 1.0,
         0.5 * 1.7602 / 2.0, 0.002},
    };
    for (const TCase& c : cases) {
        TToneSpec tone = Mono(1000.0, 1.0);
        tone.*c.mField = c.mValue;
        if (c.mField == &TToneSpec::overtoneLevel)
            tone.overtone = 2.0;
        EXPECT_NEAR(Peak(SynthesiseTone(tone), c.mFrom, c.mTo), c.mPeak, c.mTolerance) << c.mWhat;
    }
}

TEST(SoundSynthTest, AGlideEndsAtItsTargetPitch)
{
    TToneSpec tone = Mono(500.0, 1.0);
    tone.glideTo = 2000.0;
    const std::vector<int16_t> samples = SynthesiseTone(tone);
    // Two sign changes a period: about 1000 a second at the start, 4000 at the end.
    EXPECT_NEAR(SignChanges(samples, 0.0, 0.02) / 0.02, 1000.0 * std::pow(4.0, 0.01), 60.0);
    EXPECT_NEAR(SignChanges(samples, 0.98, 1.0) / 0.02, 4000.0 * std::pow(4.0, -0.01), 60.0);
    EXPECT_LE(Peak(samples, 0.0, 1.0), 0.5);
}

} // namespace
