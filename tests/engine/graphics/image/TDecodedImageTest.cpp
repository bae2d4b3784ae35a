#include "engine/graphics/image/TDecodedImage.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(TDecodedImage, TheSquareSideIsThePowerOfTwoCoveringTheLargerSideUpToTheLimit)
{
    struct TCase
    {
        int64_t width, height;
        int side;
    } cases[] = {{1, 1, 1},
                 {2, 1, 2},
                 {3, 3, 4},
                 {300, 200, 512},
                 {20, 1500, 2048},
                 {4096, 1, 4096},
                 {4097, 1, 0},
                 {1, 70000, 0},
                 {0, 5, 0},
                 {5, -1, 0},
                 {int64_t(1) << 40, 1, 0}};
    for (const TCase& c : cases)
        EXPECT_EQ(TDecodedImage::SquareSideFor(c.width, c.height), c.side)
            << c.width << "x" << c.height;
}

TEST(TDecodedImage, AllocatesAZeroFilledSquareOrNothing)
{
    TDecodedImage image;
    ASSERT_TRUE(image.Allocate(5, 3));
    EXPECT_EQ(image.GetSize(), 8);
    EXPECT_EQ(image.GetWidth(), 5);
    EXPECT_EQ(image.GetHeight(), 3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(image.Row(y)[x], 0u);
    EXPECT_FALSE(image.Allocate(TDecodedImage::kMaxSide + 1, 1));
    EXPECT_EQ(image.GetSize(), 0);
    EXPECT_EQ(image.GetPixels(), nullptr);
}

TEST(TDecodedImage, AMaskOfTheSameSizeGivesItsRedBytesAsAlpha)
{
    TDecodedImage image;
    TDecodedImage mask;
    ASSERT_TRUE(image.Allocate(3, 2));
    ASSERT_TRUE(mask.Allocate(4, 1)); // another picture size, the same buffer size
    image.Row(0)[0] = 0xff112233;
    image.Row(1)[2] = 0x80445566;
    mask.Row(0)[0] = 0x00ab0000;
    mask.Row(1)[2] = 0xff00ffff;
    mask.Row(3)[3] = 0x00ff0000; // padding takes part like any pixel
    ASSERT_TRUE(image.TakeAlphaFrom(mask));
    EXPECT_EQ(image.Row(0)[0], 0xab112233u);
    EXPECT_EQ(image.Row(1)[2], 0x00445566u);
    EXPECT_EQ(image.Row(3)[3], 0xff000000u);

    TDecodedImage larger;
    ASSERT_TRUE(larger.Allocate(5, 1));
    EXPECT_FALSE(image.TakeAlphaFrom(larger));
    EXPECT_EQ(image.Row(0)[0], 0xab112233u) << "a mask of another size changes nothing";
}

} // namespace
