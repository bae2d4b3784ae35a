// mkmvec as its users meet it: DejaVu Sans converted, composites split where the fill
// rules differ, missing codes reported, and bad input refused by name.

#include "engine/graphics/text/TVecFont.h"
#include "engine/graphics/vector/TOutlineCommand.h"
#include "tests/tools/ToolTest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using MkmvecTest = ToolTest;

const std::string kSans = std::string(VELMORA_DEJAVU_DIR) + "/DejaVuSans.ttf";

TEST_F(MkmvecTest, ConvertsTheCodesAskedFor)
{
    const TToolResult result =
        Run("mkmvec", {"--codes", "0x41-0x43,199,0x2065", kSans, "out.mvec"});
    ASSERT_EQ(result.mStatus, 0) << result.mErr;
    EXPECT_NE(result.mOut.find("out.mvec: 4 glyphs"), std::string::npos) << result.mOut;
    EXPECT_NE(result.mOut.find("split into layers: U+00C7\n"), std::string::npos);
    EXPECT_NE(result.mOut.find("not in the font: U+2065\n"), std::string::npos);

    const std::string bytes = Read(mFolder / "out.mvec");
    const TVecFont font(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ASSERT_EQ(font.GetGlyphCount(), 4);
    const uint32_t codes[] = {'A', 'B', 'C', 0xC7};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(font.FindGlyph(codes[i]), i);
        const size_t size = font.GetGlyphDataSize(i);
        ASSERT_GT(size, 2u);
        EXPECT_EQ(font.GetGlyphData(i)[size - 1], static_cast<uint8_t>(TOutlineCommand::End));
    }
    // "A" of DejaVu Sans: 16 to 1384 of 2048 units wide, 1493 high, advance 1401; em 64.
    EXPECT_EQ(font.GetXMin(0), 0.5f);
    EXPECT_EQ(font.GetXMax(0), 43.25f);
    EXPECT_EQ(font.GetAdvance(0), 43.78125f);
}

TEST_F(MkmvecTest, RefusesWhatItCannotConvert)
{
    Write("notafont.ttf", "hello");
    const TToolResult notFont = Run("mkmvec", {"notafont.ttf", "out.mvec"});
    EXPECT_EQ(notFont.mStatus, 1);
    EXPECT_EQ(notFont.mErr,
              "mkmvec: cannot read notafont.ttf: not an outline font with a Unicode map\n");
    // Code points are whole numbers without a sign up to U+10FFFF, and ranges of them.
    for (const char* codes : {"", "0x41-", "z", "0x43-0x41", "65,,66", "-5", "+65", "0x110000",
                              "0x41-0x110000", "99999999999999999999", "0x", "1.5"}) {
        const TToolResult bad = Run("mkmvec", {"--codes", codes, kSans, "out.mvec"});
        EXPECT_EQ(bad.mStatus, 2) << codes;
        EXPECT_EQ(bad.mErr, std::string("mkmvec: --codes must list code points from 0 to 0x10ffff "
                                        "and ranges of them (such as 0x20-0x7e,0xe9), not \"") +
                                codes + "\"\n");
    }
    EXPECT_EQ(Run("mkmvec", {kSans}).mStatus, 2);
    // A font that would hold no glyph is not written.
    const TToolResult none = Run("mkmvec", {"--codes", "0x2065", kSans, "out.mvec"});
    EXPECT_EQ(none.mStatus, 1);
    EXPECT_EQ(none.mErr,
              "mkmvec: " + kSans + " has none of the codes asked for; nothing written\n");
    EXPECT_FALSE(std::filesystem::exists(mFolder / "out.mvec"));
}

} // namespace
