#include "engine/graphics/TTexture.h"

#include <gtest/gtest.h>

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
