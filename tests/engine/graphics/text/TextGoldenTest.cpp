// A marked-up paragraph in the built-in font (DejaVu Sans as the build converts it),
// drawn into a texture in copy mode, against the picture stored in golden/: a change to
// the rasteriser, the layout or the conversion that moves any pixel shows here. With
// VELMORA_UPDATE_GOLDEN=1 in the environment the test writes the picture instead (look
// at it before committing it).
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "engine/graphics/text/TTextLayout.h"
#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

using TextGoldenTest = EngineStateTest;

constexpr int kWidth = 320;
constexpr int kHeight = 112;
constexpr int kTolerance = 2;

const char kParagraph[] =
    "Welcome to the <b>Velmora Spa</b>: <outline color=\"#ffd700\">relax</outline>, "
    "<u>breathe</u> and <i>unwind</i>. Prices from <font color=\"#c0392b\">5,00 €</font> "
    "– «ça coûte peu».<br><font size=\"12\" color=\"#2c3e50\">Ask at the desk:</font>"
    "<tab pos=\"120\"><a id=\"desk\" color=\"#2980b9\">reception</a><cursor>";

TEST_F(TextGoldenTest, AMarkedUpParagraphLooksAsStored)
{
    const std::unique_ptr<TTextLayout> layout(CreateTextLayout(
        kParagraph, kWidth - 8, kHeight, 0, nullptr, 16, TColor(0.1f, 0.1f, 0.1f, 1)));
    layout->SetCopyMode();
    const std::shared_ptr<TTexture> texture = TTexture::Create(kWidth, kHeight, true);
    layout->DrawInRect(TRect(4, 4, kWidth - 4, kHeight - 4), 1.0f, 0, 1.0f, texture);

    const char* folder = VELMORA_SOURCE_DIR "/tests/engine/graphics/text/golden";
    TPathMap::Get().SetDataFolders(folder, folder, folder);
    if (std::getenv("VELMORA_UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(texture->Save("user:paragraph.png", 1.0f));
        GTEST_SKIP() << "wrote " << folder << "/paragraph.png";
    }
    TDecodedImage golden;
    ASSERT_TRUE(ReadPngImage("user:paragraph.png", golden));
    ASSERT_EQ(golden.GetWidth(), kWidth);
    ASSERT_EQ(golden.GetHeight(), kHeight);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->Lock(pixels, pitch));
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t drawn = pixels[y * pitch + x];
            const uint32_t stored = golden.Row(y)[x];
            for (int shift = 0; shift < 32; shift += 8)
                if (std::abs(int(drawn >> shift & 0xFF) - int(stored >> shift & 0xFF)) >
                    kTolerance) {
                    ++differing;
                    break;
                }
        }
    texture->Unlock();
    EXPECT_EQ(differing, 0);
}

} // namespace
