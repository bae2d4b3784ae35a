#include "engine/foundation/app/TSystemCursorImage.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

namespace {

uint32_t BigEndian(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
           bytes[3];
}

TEST(TSystemCursorImage, IsAValidPalettePngOfTheArrow)
{
    const std::vector<uint8_t>& png = TSystemCursorImage::GetPng();
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);

    // Walk the chunks: every CRC must hold; collect the image data.
    std::vector<uint8_t> packed;
    size_t at = 8;
    bool sawHeader = false;
    bool sawEnd = false;
    while (at + 12 <= png.size()) {
        const uint32_t length = BigEndian(&png[at]);
        ASSERT_LE(at + 12 + length, png.size());
        const char* type = reinterpret_cast<const char*>(&png[at + 4]);
        const uLong crc = crc32(0, &png[at + 4], length + 4);
        EXPECT_EQ(BigEndian(&png[at + 8 + length]), crc) << std::string(type, 4);
        if (std::memcmp(type, "IHDR", 4) == 0) {
            sawHeader = true;
            EXPECT_EQ(BigEndian(&png[at + 8]), 32u);
            EXPECT_EQ(BigEndian(&png[at + 12]), 32u);
            EXPECT_EQ(png[at + 16], 8); // bit depth
            EXPECT_EQ(png[at + 17], 3); // palette
        }
        if (std::memcmp(type, "IDAT", 4) == 0)
            packed.insert(packed.end(), &png[at + 8], &png[at + 8 + length]);
        if (std::memcmp(type, "IEND", 4) == 0)
            sawEnd = true;
        at += 12 + length;
    }
    EXPECT_TRUE(sawHeader);
    EXPECT_TRUE(sawEnd);

    std::vector<uint8_t> raw(32 * 33);
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, packed.data(), packed.size()), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    const std::vector<uint8_t>& indices = TSystemCursorImage::GetIndices();
    for (int y = 0; y < 32; ++y) {
        EXPECT_EQ(raw[y * 33], 0); // filter byte
        EXPECT_EQ(std::memcmp(&raw[y * 33 + 1], &indices[y * 32], 32), 0) << "row " << y;
    }
    EXPECT_EQ(indices[0], 1);            // the tip is outline: the hot spot is (0, 0)
    EXPECT_EQ(indices[5 * 32 + 2], 2);   // inside the arrow
    EXPECT_EQ(indices[31 * 32 + 31], 0); // the corner is transparent
}

} // namespace
