#pragma once

// Animation files and sheets for the animated texture and sprite tests: sheet pictures
// whose pixels tell where they are, written as PNG files, and animation files of frames
// laid side by side on such a sheet.

#include "engine/graphics/image/PngImage.h"
#include "tests/engine/graphics/ImageFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// red = x, green = y, blue = 0x40, and alpha.
inline uint32_t SheetPixel(int x, int y, uint32_t alpha = 0xff)
{
    return alpha << 24 | uint32_t(x) << 16 | uint32_t(y) << 8 | 0x40u;
}

// Writes a width x height sheet of SheetPixel to name in the folder; its engine path.
inline std::string PutSheet(const TImageFolder& folder, const std::string& name, int width,
                            int height, uint32_t alpha = 0xff)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] = SheetPixel(x, y, alpha);
    folder.Put(name, ""); // makes the folders
    const std::string path = "user:" + name;
    EXPECT_TRUE(WritePngImage(path.c_str(), pixels.data(), width, height, width * 4));
    return path;
}

// An animation of count frames of width x height side by side on image, registration
// point (regX, regY), with extra text inside the sequence element (a script).
inline std::string StripXml(const std::string& image, int count, int width, int height,
                            int regX = 0, int regY = 0, const std::string& extra = "")
{
    std::string xml = "<sequence name=\"strip\" source=\"tests\">\n  <img w=\"" +
                      std::to_string(width * count) + "\" h=\"" + std::to_string(height) +
                      "\" name=\"" + image + "\"/>\n  <framelist>\n";
    for (int i = 0; i < count; ++i)
        xml += "    <frame x=\"" + std::to_string(i * width) + "\" y=\"0\" w=\"" +
               std::to_string(width) + "\" h=\"" + std::to_string(height) + "\" regx=\"" +
               std::to_string(regX) + "\" regy=\"" + std::to_string(regY) + "\"/>\n";
    return xml + "  </framelist>\n" + extra + "</sequence>\n";
}
