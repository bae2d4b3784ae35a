#include "engine/graphics/TTexture.h"

#include "engine/foundation/app/TSystemCursorImage.h"
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/graphics/RendererTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(TTexture, NewTexturesAreClearAndKeepTheirAlphaRule)
{
    EXPECT_EQ(TTexture::Create(0, 4, true), nullptr);
    EXPECT_EQ(TTexture::Create(4, -1, true), nullptr);
    for (bool alpha : {true, false}) {
        const std::shared_ptr<TTexture> texture = TTexture::Create(3, 2, alpha);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->GetWidth(), 3);
        EXPECT_EQ(texture->GetData().GetSurfaceHeight(), 2);
        EXPECT_EQ(texture->HasAlpha(), alpha);
        EXPECT_TRUE(texture->IsKindOf(TTexture::ClassId()));
        EXPECT_TRUE(texture->IsKindOf(TAsset::ClassId()));
        const uint32_t opaque = alpha ? 0u : 0xFF000000u;
        uint32_t* pixels = nullptr;
        int pitch = 0;
        ASSERT_TRUE(texture->Lock(pixels, pitch));
        EXPECT_EQ(pitch, 3);
        EXPECT_EQ(pixels[5], opaque); // transparent black, or opaque black without alpha
        uint32_t* again = nullptr;
        EXPECT_FALSE(texture->Lock(again, pitch)); // one lock at a time
        pixels[4] = 0x12345678u;
        texture->Unlock();
        ASSERT_TRUE(texture->Lock(pixels, pitch));
        EXPECT_EQ(pixels[4], alpha ? 0x12345678u : 0xFF345678u);
        texture->Unlock();
        texture->GetData().Clear();
        ASSERT_TRUE(texture->Lock(pixels, pitch));
        EXPECT_EQ(pixels[4], opaque);
        texture->Unlock();
    }
}

} // namespace

namespace {

// A picture whose pixels tell where they are: red = x, green = y.
std::vector<uint32_t> Picture(int width, int height, uint32_t alpha = 0xff)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] = alpha << 24 | uint32_t(x) << 16 | uint32_t(y) << 8;
    return pixels;
}

class TTextureCacheTest : public EngineStateTest
{
protected:
    std::string PutPng(const std::string& name, int width, int height, uint32_t alpha = 0xff)
    {
        const std::vector<uint32_t> pixels = Picture(width, height, alpha);
        const std::string path = "user:" + name;
        EXPECT_TRUE(WritePngImage(path.c_str(), pixels.data(), width, height, width * 4));
        return path;
    }

    TImageFolder mFolder;
};

TEST_F(TTextureCacheTest, KeysNameTheFileAndTheFlags)
{
    struct TCase
    {
        TString key, expected;
    } cases[] = {
        {TTexture::MakeKey("ui\\ok", true, false, false), "ui/ok:a:tex"},
        {TTexture::MakeKey("a\\b\\c.png", false, false, false), "a/b/c.png:tex"},
        {TTexture::MakeKey("x", true, true, true), "x:a:m:s:tex"},
        {TTexture::MakeKey("x", false, true, false), "x:m:tex"},
        {TTexture::MakeMaskKey("a\\b", "m", true, false), "a\\b:m:m:tex"},
        {TTexture::MakeMaskKey("a", "m.png", false, true), "a:m.png:s:tex"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.key, c.expected) << c.expected.CStr();
}

TEST_F(TTextureCacheTest, TexturesAreSharedByKeyWhateverLaterCallersAsk)
{
    PutPng("a/b.png", 4, 2, 0x80);
    PutPng("a/m.png", 4, 2);
    const std::shared_ptr<TTexture> plain = TTexture::Get("user:a/b.png", 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->HasAlpha()) << "the PNG's alpha channel decides";
    EXPECT_EQ(TTexture::Get("user:a/b.png", TTexture::kGetOpaque), plain)
        << "flag 4 is not in the key, and a cached texture is handed out unchanged";
    EXPECT_TRUE(plain->HasAlpha());
    EXPECT_EQ(TTexture::Get("user:a\\b.png", 0), plain);
    const std::shared_ptr<TTexture> alpha = TTexture::Get("user:a/b.png", TTexture::kGetAlpha);
    EXPECT_NE(alpha, plain);
    EXPECT_EQ(TTexture::FindCached("user:a/b.png:a:tex"), alpha);
    const std::shared_ptr<TTexture> simple = TTexture::GetSimple("user:a/b.png");
    EXPECT_TRUE(simple->IsSimple());
    EXPECT_EQ(TTexture::FindCached("user:a/b.png:s:tex"), simple);

    const std::shared_ptr<TTexture> masked = TTexture::GetWithMask("user:a/b.png", "user:a/m.png");
    ASSERT_NE(masked, nullptr);
    EXPECT_TRUE(masked->HasAlpha());
    EXPECT_EQ(TTexture::GetWithMask("user:a/b.png", "user:a/m.png"), masked);
    EXPECT_NE(TTexture::GetWithMask("user:a\\b.png", "user:a/m.png"), masked)
        << "mask keys keep their separators";
    EXPECT_EQ(masked->GetSourceKey(), TString("user:a/b.png.user:a/m.png"));
    EXPECT_EQ(plain->GetSourceKey(), TString("user:a/b.png."));

    EXPECT_EQ(TTexture::Get("user:a/none.png"), nullptr);
    EXPECT_EQ(TTexture::FindCached("user:a/none.png:tex"), nullptr);
}

TEST_F(TTextureCacheTest, TexturesMadeByCodeAreCachedUnderTheirAddressUntilDropped)
{
    std::shared_ptr<TTexture> first = TTexture::Create(4, 4, true);
    std::shared_ptr<TTexture> second = TTexture::Create(4, 4, true);
    const auto keyOf = [](const TTexture* texture) {
        return TString::Printf("%lx:tex:r", static_cast<unsigned long>(uintptr_t(texture)));
    };
    const TString firstKey = keyOf(first.get());
    EXPECT_EQ(TTexture::FindCached(firstKey), first);
    EXPECT_EQ(TTexture::FindCached(keyOf(second.get())), second);
    const size_t entries = TTexture::GetCache().GetEntryCount();
    first.reset();
    EXPECT_EQ(TTexture::GetCache().GetEntryCount(), entries - 1) << "the entry left with it";
}

TEST_F(TTextureCacheTest, DrawsThePictureCentredWithItsSurfaceCoordinates)
{
    // A 100 x 30 picture on a 128 x 32 surface, drawn 1:1 with point filtering at
    // (60, 20): the quad runs from (10, 5) to (110, 35), u to 100/128, v to 30/32.
    PutPng("pic.png", 100, 30);
    const std::shared_ptr<TTexture> texture = TTexture::Get("user:pic.png");
    ASSERT_NE(texture, nullptr);
    int width = 0;
    int height = 0;
    texture->GetSurfaceSize(width, height);
    EXPECT_EQ(width, 128);
    EXPECT_EQ(height, 32);
    const std::vector<uint32_t> picture = Picture(100, 30);
    const uint32_t background = 0xff0000ffu;
    struct TCase
    {
        const char* name;
        int flags;
        bool turned; // by 180 degrees
        float rotation;
    } cases[] = {{"plain", 0, false, 0.0f},
                 {"mirrored both ways", DrawState::kMirrorX | DrawState::kMirrorY, true, 0.0f},
                 {"rotated by pi", 0, true, 3.14159265f}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTestDisplay display(128, 48);
        display.BackBuffer().Fill(display.BackBuffer().GetBounds(), background);
        display.renderer->Begin2d();
        display.renderer->SetFilter(TFilter::Point);
        texture->DrawAt(60.0f, 20.0f, 1.0f, 1.0f, c.rotation, c.flags);
        display.renderer->End2d();
        int wrong = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 128; ++x) {
                const bool inside = x >= 10 && x < 110 && y >= 5 && y < 35;
                const int px = c.turned ? 109 - x : x - 10;
                const int py = c.turned ? 34 - y : y - 5;
                const uint32_t expected = inside ? picture[size_t(py) * 100 + px] : background;
                wrong += display.BackBuffer().At(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(TTextureCacheTest, DrawStatesChooseThePartTheAnchorAndTheBlendMode)
{
    PutPng("pic.png", 100, 30);
    const std::shared_ptr<TTexture> texture = TTexture::Get("user:pic.png");
    TTestDisplay display(64, 32);
    display.renderer->Begin2d();
    display.renderer->SetFilter(TFilter::Point);
    DrawState state(TVec2(3, 4), 1.0f, 1.0f, DrawState::kUseSourceRect | DrawState::kUseOrigin);
    state.sourceRect = TRect(20, 10, 30, 16);
    state.origin = TVec2(1, 2);
    state.blendMode = kBlendOpaque;
    texture->Draw(state);
    display.renderer->End2d();
    // Texel (20, 10) lands at (3, 4) - origin.
    EXPECT_EQ(display.BackBuffer().At(2, 2), 0xff140a00u);
    EXPECT_EQ(display.BackBuffer().At(11, 7), 0xff1d0f00u);
    EXPECT_EQ(display.BackBuffer().At(12, 7), 0u);
    EXPECT_EQ(display.BackBuffer().At(2, 8), 0u);
    EXPECT_EQ(display.handler->GetBlendMode(), kBlendOpaque);

    // Nothing outside the 2D state, and nothing for a simple texture.
    texture->DrawAt(30, 16, 1, 1, 0, 0);
    const std::shared_ptr<TTexture> simple = TTexture::GetSimple("user:pic.png");
    display.renderer->Begin2d();
    simple->DrawAt(30, 16, 1, 1, 0, 0);
    display.renderer->End2d();
    EXPECT_EQ(display.BackBuffer().At(30, 16), 0u);
}

TEST_F(TTextureCacheTest, BlitsWaitForTheEndOfTheFrameAndCopiesDoNot)
{
    TTestDisplay display(16, 16);
    const std::shared_ptr<TTexture> texture = TTexture::Create(4, 4, true);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->Lock(pixels, pitch));
    for (int i = 0; i < 16; ++i)
        pixels[i] = 0x01000000u * uint32_t(i + 1);
    texture->Unlock();
    const std::shared_ptr<TTexture> target = TTexture::Create(8, 8, false);

    ASSERT_TRUE(display.renderer->BeginDraw(false));
    texture->Blit(0, 0, nullptr, nullptr);
    texture->Blit(0, 0, nullptr, target.get());
    EXPECT_EQ(display.BackBuffer().At(0, 0), 0u) << "no blit in a frame";
    EXPECT_EQ(target->GetData().GetSurface()->At(0, 0), 0xff000000u);
    const TRect part(2, 2, 9, 9); // cut to the picture: (2, 2) - (4, 4)
    EXPECT_TRUE(texture->CopyTo(1, 1, &part, *target));
    display.renderer->EndDraw(false);
    EXPECT_EQ(target->GetData().GetSurface()->At(1, 1), 0xff000000u | 0x0b000000u)
        << "texel (2, 2), made opaque in a texture without alpha";
    EXPECT_EQ(target->GetData().GetSurface()->At(3, 1), 0xff000000u);

    texture->Blit(14, 15, &part, nullptr);
    EXPECT_EQ(display.BackBuffer().At(14, 15), 0x0b000000u);
    EXPECT_EQ(display.BackBuffer().At(15, 15), 0x0c000000u);

    EXPECT_FALSE(texture->CopyTo(0, 0, nullptr, *texture)) << "one lock at a time";
    ASSERT_TRUE(target->Lock(pixels, pitch));
    EXPECT_FALSE(texture->CopyTo(0, 0, nullptr, *target));
    target->Unlock();
    ASSERT_TRUE(texture->Lock(pixels, pitch)) << "a refused copy leaves no lock behind";
    texture->Unlock();
}

TEST_F(TTextureCacheTest, SavesPngExactlyAndJpegAndNothingElse)
{
    const std::shared_ptr<TTexture> texture = TTexture::Create(5, 3, true);
    const std::vector<uint32_t> picture = Picture(5, 3, 0x7f);
    texture->GetData().SetPixels(5, 3, picture.data());

    EXPECT_FALSE(texture->Save("user:shot.bmp", 1.0f));
    EXPECT_EQ(
        mFolder.CountLogLines(TString::Printf(TTexture::kSaveRefusedLog, "user:shot.bmp").CStr()),
        1);
    EXPECT_FALSE(mFolder.Has("shot.bmp"));

    ASSERT_TRUE(texture->Save("user:shot.png", 0.0f));
    const std::shared_ptr<TTexture> loaded = TTexture::Get("user:shot.png");
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->GetWidth(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(loaded->GetData().GetSurface()->At(x, y), picture[size_t(y) * 5 + x]);

    ASSERT_TRUE(texture->Save("user:shot.jpg", 0.9f));
    const std::shared_ptr<TTexture> photo = TTexture::Get("user:shot.jpg");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->GetHeight(), 3);
    EXPECT_FALSE(photo->HasAlpha());

    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(texture->Lock(pixels, pitch));
    EXPECT_FALSE(texture->Save("user:locked.png", 0.0f));
    texture->Unlock();
}

TEST_F(TTextureCacheTest, TheEngineLoadsItsCursorThroughTheInstalledLoader)
{
    TEngineSeams::TFactories saved = TEngineSeams::Factories();
    InstallGraphics();
    const std::vector<uint8_t>& png = TSystemCursorImage::GetPng();
    RegisterMemoryFile(TSystemCursorImage::kName, png.data(), png.size());
    const std::shared_ptr<TTexture> cursor = TEngineSeams::LoadTexture(TSystemCursorImage::kName);
    RegisterMemoryFile(TSystemCursorImage::kName, nullptr, 0);
    TEngineSeams::Factories() = saved;
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->GetWidth(), 32);
    EXPECT_TRUE(cursor->HasAlpha()) << "a palette with transparency";
    const TSurface& surface = *cursor->GetData().GetSurface();
    EXPECT_EQ(surface.At(0, 0), 0xff000000u);   // outline
    EXPECT_EQ(surface.At(1, 2), 0xffffffffu);   // fill
    EXPECT_EQ(surface.At(31, 31), 0x00ff00ffu); // transparent magenta
}

} // namespace
