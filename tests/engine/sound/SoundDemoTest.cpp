// The whole chain on SDL's real audio output: the sound demo plays its two sounds on the
// "disk" driver, which writes the mixed output to a file; the file must hold each sound
// for its length and at its level, and silence around them.
#include "engine/platform/TAudioBuffer.h"
#include "engine/sound/TSoundStream.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TRun
{
    double start;            // seconds
    double length;           // seconds
    std::vector<double> rms; // of the left channel, per 10 ms window

    // The level inside the run: the windows at its edges are partly silent.
    double Level() const
    {
        double sum = 0.0;
        for (size_t i = 1; i + 1 < rms.size(); ++i)
            sum += rms[i];
        return rms.size() > 2 ? sum / static_cast<double>(rms.size() - 2) : 0.0;
    }
};

// The stretches of the left channel whose RMS over 10 ms windows is above the noise
// floor.
std::vector<TRun> LoudRuns(const std::string& raw, int rate)
{
    const auto* samples = reinterpret_cast<const int16_t*>(raw.data());
    const size_t frames = raw.size() / 4;
    const size_t window = static_cast<size_t>(rate) / 100;
    std::vector<TRun> runs;
    bool inRun = false;
    for (size_t w = 0; (w + 1) * window <= frames; ++w) {
        double energy = 0.0;
        for (size_t i = w * window; i < (w + 1) * window; ++i)
            energy += static_cast<double>(samples[2 * i]) * samples[2 * i];
        const double rms = std::sqrt(energy / static_cast<double>(window));
        const bool loud = rms > 100.0;
        if (loud && !inRun)
            runs.push_back({static_cast<double>(w) / 100.0, 0.0, {}});
        if (loud) {
            runs.back().rms.push_back(rms);
            runs.back().length = static_cast<double>(runs.back().rms.size()) / 100.0;
        }
        inRun = loud;
    }
    return runs;
}

TEST(SoundDemo, WritesWhatItPlaysThroughTheDiskDriver)
{
    TTempFolder folder;
    const std::string raw = folder / "out.raw";
    const std::string printed = folder / "printed.txt";
    const std::string command = "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + raw + "' '" +
                                VELMORA_SOUNDDEMO + "' > '" + printed + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string output = TTempFolder::Read(printed);
    int rate = 0;
    ASSERT_EQ(std::sscanf(output.c_str(), "rate %d", &rate), 1) << output;

    const std::vector<TRun> runs = LoudRuns(TTempFolder::Read(raw), rate);
    ASSERT_EQ(runs.size(), 2u);
    // The effect: 0.4 s of a sine at half of full scale, at full volume.
    EXPECT_NEAR(runs[0].length, 0.4, 0.02);
    EXPECT_NEAR(runs[0].Level(), 0.5 * 32767 / std::sqrt(2.0), 150.0);
    // The piece: 2.5 s at 0.4 of full scale, in a group at volume 0.9.
    const double gain = TAudioBuffer::GainOf(TSoundStream::VolumeToCentibels(0.9f));
    EXPECT_NEAR(runs[1].length, 2.5, 0.02);
    EXPECT_NEAR(runs[1].Level(), 0.4 * 32767 / std::sqrt(2.0) * gain, 100.0);
    EXPECT_GT(runs[1].start, runs[0].start + runs[0].length);
}

} // namespace
