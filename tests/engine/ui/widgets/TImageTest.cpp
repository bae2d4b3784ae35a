#include "engine/ui/widgets/TImage.h"

#include "engine/graphics/TTexture.h"
#include "engine/graphics/image/PngImage.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/ui/UiTestSupport.h"

namespace {

constexpr uint32_t kRed = 0xffff0000;
constexpr uint32_t kBlue = 0xff0000ff;
constexpr uint32_t kBlack = 0xff000000;

class TImageTest : public TUiTest
{
protected:
    // A PNG file of width x height whose left half is red and right half blue (top and
    // bottom halves with vertical); its engine name.
    std::string PutPng(const std::string& name, int width, int height, bool vertical = false)
    {
        std::vector<uint32_t> pixels(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * width + x] =
                    (vertical ? y < height / 2 : x < width / 2) ? kRed : kBlue;
        const std::string path = "user:" + name;
        EXPECT_TRUE(WritePngImage(path.c_str(), pixels.data(), width, height, width * 4));
        return path;
    }
    // An image made from a style, in the root screen.
    TImage* MakeImage(const TMapStyle& style)
    {
        auto* image = mRootScreen->Adopt(std::make_unique<TImage>());
        image->Init(style);
        return image;
    }
    void DrawFrame()
    {
        BackBuffer().Fill(TRect(0, 0, kWidth, kHeight), kBlack);
        Manager().Invalidate();
        IdleFor(20);
    }

    TImageFolder mFolder;
    TScreen* mRootScreen = MakeRoot();
};

TEST_F(TImageTest, TheWindowTakesTheScaledPictureSize)
{
    const std::string file = PutPng("a.png", 100, 50);
    struct TCase
    {
        double scale;
        bool rotate;
        int width, height;
    };
    const TCase cases[] = {
        {1.0, false, 100, 50}, {1.5, false, 150, 75},  {1.5, true, 75, 150},
        {0.5, true, 25, 50},   {0.333, false, 33, 17}, // rounded to the nearest
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.scale) + (c.rotate ? " rotated" : ""));
        TMapStyle style{{"scale", c.scale}, {"rotate", c.rotate ? 1 : 0}, {"w", 7}, {"h", 7}};
        style.strings["image"] = file;
        TImage* image = MakeImage(style);
        ASSERT_NE(image->GetTexture(), nullptr);
        EXPECT_EQ(image->GetWidth(), c.width); // the style's size does not replace it
        EXPECT_EQ(image->GetHeight(), c.height);
        image->SetRotate(!c.rotate);
        EXPECT_EQ(image->GetWidth(), c.height);
        EXPECT_EQ(image->GetHeight(), c.width);
    }
}

TEST_F(TImageTest, WithoutAPictureTheStyleGivesTheSizeAndNothingIsDrawn)
{
    TMapStyle style{{"x", 4}, {"y", 6}, {"w", 20}, {"h", 10}};
    style.strings["image"] = "user:missing.png";
    TImage* image = MakeImage(style);
    EXPECT_EQ(image->GetTexture(), nullptr);
    EXPECT_EQ(image->GetWidth(), 20);
    EXPECT_EQ(image->GetHeight(), 10);
    mRootScreen->SetClearColor(TColor(0, 0, 0, 1));
    DrawFrame();
    EXPECT_EQ(BackBuffer().At(10, 10), kBlack);
    image->SetImage(nullptr, 2.0f); // no picture: the size stays
    EXPECT_EQ(image->GetWidth(), 20);
}

TEST_F(TImageTest, PicturesAreDrawnScaledMirroredAndTurned)
{
    const std::string file = PutPng("halves.png", 4, 2);
    mRootScreen->SetClearColor(TColor(0, 0, 0, 1));
    struct TCase
    {
        const char* what;
        const char* flag; // a style flag set to 1, or ""
        int width, height;
        // The colour at the top-left and the bottom-right quarter of the window.
        uint32_t topLeft, bottomRight;
    };
    const TCase cases[] = {
        {"plain", "", 8, 4, kRed, kBlue},
        {"mirrored", "hflip", 8, 4, kBlue, kRed},
        {"upside down", "vflip", 8, 4, kRed, kBlue},
        // A quarter turn: the picture's left edge runs along the window's top.
        {"turned", "rotate", 4, 8, kRed, kBlue},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TMapStyle style{{"x", 10}, {"y", 5}, {"scale", 2}};
        if (c.flag[0] != '\0')
            style.numbers[c.flag] = 1;
        style.strings["image"] = file;
        TImage* image = MakeImage(style);
        ASSERT_EQ(image->GetWidth(), c.width);
        ASSERT_EQ(image->GetHeight(), c.height);
        DrawFrame();
        EXPECT_EQ(BackBuffer().At(10, 5), c.topLeft);
        EXPECT_EQ(BackBuffer().At(10 + c.width - 1, 5 + c.height - 1), c.bottomRight);
        // Exactly the window is covered.
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool inside = x >= 10 && x < 10 + c.width && y >= 5 && y < 5 + c.height;
                if ((BackBuffer().At(x, y) != kBlack) != inside) {
                    ADD_FAILURE() << "pixel " << x << "," << y;
                    x = kWidth;
                    y = kHeight;
                }
            }
        }
        EXPECT_NE(mRootScreen->RemoveChild(image), nullptr);
    }
}

TEST_F(TImageTest, AnOpaqueFullSizeImageHidesTheDialogsBelow)
{
    const std::string file = PutPng("full.png", kWidth, kHeight);
    for (const bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "alpha" : "opaque");
        Manager().PushModal(std::make_unique<TProbeModal>("below"));
        auto* over = Manager().PushModal(std::make_unique<TProbeModal>("over"));
        auto* image = over->Adopt(std::make_unique<TImage>());
        TMapStyle style{{"alpha", alpha ? 1 : 0}};
        style.strings["image"] = file;
        image->Init(style);
        EXPECT_EQ((image->GetFlags() & TWindow::kOpaque) != 0, !alpha);
        EXPECT_EQ((over->GetFlags() & TWindow::kOpaque) != 0, !alpha);
        ProbeLog().clear();
        DrawFrame();
        const bool belowDrawn =
            std::find(ProbeLog().begin(), ProbeLog().end(), "below draw") != ProbeLog().end();
        EXPECT_EQ(belowDrawn, alpha);
        Manager().DoPopModal("below");
        Idle();
    }
}

TEST_F(TImageTest, ImagesAreCreatedByTypeIdentity)
{
    std::unique_ptr<TWindow> window = TImage::Create();
    EXPECT_EQ(TImage::ClassId(), reinterpret_cast<TClassId>(&TImage::Create));
    EXPECT_TRUE(window->IsKindOf(TImage::ClassId()));
    EXPECT_TRUE(window->IsKindOf(TWindow::ClassId()));
    EXPECT_STREQ(window->GetClassName(), "TImage");
    EXPECT_NE(WindowCast<TImage>(window.get()), nullptr);
    EXPECT_NE(window->GetFlags() & TWindow::kOpaque, 0u);
}

} // namespace
