// The particle demo plays the content's sample effects and writes each frame: the
// effects must load without a script error, the fountain must fill the air above its
// basin, and the burst must spread out and start again once it has finished.
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct TBox
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
    int Width() const { return right - left + 1; }
};

class ParticleDemoTest : public EngineStateTest
{
protected:
    // The pixels of frame in the rectangle that differ from the sky or lawn behind them
    // (each row of the backdrop has one colour, the one at its left end), and their box.
    TBox Particles(int frame, int left, int top, int right, int bottom)
    {
        TDecodedImage image;
        char name[32];
        std::snprintf(name, sizeof name, "user:frame_%03d.png", frame);
        EXPECT_TRUE(ReadPngImage(name, image)) << name;
        TBox box;
        for (int y = top; y < bottom && y < image.GetHeight(); ++y) {
            const uint32_t backdrop = image.Row(y)[0];
            for (int x = left; x < right && x < image.GetWidth(); ++x) {
                const uint32_t pixel = image.Row(y)[x];
                int difference = 0;
                for (int shift = 0; shift < 24; shift += 8)
                    difference +=
                        std::abs(int(pixel >> shift & 0xff) - int(backdrop >> shift & 0xff));
                if (difference > 40) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                    ++box.count;
                }
            }
        }
        return box;
    }
    TTempFolder mFolder;
};

TEST_F(ParticleDemoTest, PlaysTheSampleEffectsOverAHundredAndTwentyFrames)
{
    const std::string command =
        std::string("'") + VELMORA_PARTICLEDEMO + "' '" + mFolder.Path() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(mFolder / "frame_119.png"));
    EXPECT_FALSE(std::filesystem::exists(mFolder / "frame_120.png"));
    const std::string log = TTempFolder::Read(mFolder / "logfile.txt");
    EXPECT_EQ(log.find("Lua error"), std::string::npos) << log;
    EXPECT_EQ(log.find("particles:"), std::string::npos) << log;
    TPathMap::Get().SetDataFolders(mFolder.Path().c_str(), mFolder.Path().c_str(),
                                   mFolder.Path().c_str());

    // The fountain (its basin at x 78 to 122, y 198): a few sparkles at first, then a
    // crown of them well above the basin.
    const TBox early = Particles(3, 0, 0, 160, 196);
    const TBox fountain = Particles(80, 0, 0, 160, 196);
    EXPECT_LT(early.count, fountain.count);
    EXPECT_GT(fountain.count, 300);
    EXPECT_LT(fountain.top, 150);
    EXPECT_GT(fountain.Width(), 60);
    // The burst (centred on 226, 104; left of it fly the fountain's sparkles): tight at
    // first, spread out later, and tight again once it has ended and started over.
    const TBox burst = Particles(2, 185, 0, 320, 204);
    const TBox spread = Particles(50, 185, 0, 320, 204);
    const TBox again = Particles(111, 185, 0, 320, 204);
    EXPECT_GT(burst.count, 200);
    EXPECT_LT(burst.Width(), 60);
    EXPECT_GT(spread.Width(), 2 * burst.Width());
    EXPECT_LT(again.Width(), spread.Width() / 2);
    EXPECT_GT(again.count, 200);
}

} // namespace
