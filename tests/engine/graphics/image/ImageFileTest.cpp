#include "engine/graphics/image/ImageFile.h"

#include "engine/graphics/image/JpegImage.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/ImageFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Files are found through the process-wide path map.
using ImageFileTest = EngineStateTest;

TEST_F(ImageFileTest, TheNameChoosesTheReader)
{
    TImageFolder folder;
    const std::vector<uint32_t> pixels(4 * 4, 0xff204060);
    ASSERT_TRUE(WritePngImage("user:a.png", pixels.data(), 4, 4, 16));
    ASSERT_TRUE(WriteJpegImage("user:b.jpg", 1.0f, 4, 4, 16, pixels.data()));
    const std::string png = folder.Get("a.png");
    const std::string jpeg = folder.Get("b.jpg");
    struct TCase
    {
        const char* name;
        const std::string& bytes;
        bool decodes;
    } cases[] = {
        {"plain.png", png, true},   {"plain.jpg", jpeg, true},    {"both.png.jpg", png, true},
        {"png-in.jpg", png, false}, {"jpeg-in.png", jpeg, false}, {"upper.PNG", png, false},
        {"other.bmp", png, false},
    };
    for (const TCase& c : cases) {
        const std::string path = folder.Put(c.name, c.bytes);
        TDecodedImage image;
        EXPECT_EQ(ReadImageFile(path.c_str(), image), c.decodes) << c.name;
        EXPECT_EQ(image.GetSize(), c.decodes ? 4 : 0) << c.name;
    }
    EXPECT_EQ(folder.CountLogLines("image: user:other.bmp: neither a .png nor a .jpg name"), 1);
}

} // namespace
