#pragma once

// Test support shared by the PNG and JPEG codec tests: pictures that do not compress,
// and the check that a reader refuses a damaged file cleanly.

#include "engine/foundation/core/TString.h"
#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/TDecodedImage.h"
#include "tests/engine/graphics/ImageFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Pixels that do not compress, so that a writer has to hand out many buffers.
inline std::vector<uint32_t> Noise(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    uint32_t state = 12345;
    for (uint32_t& pixel : pixels) {
        state = state * 1664525u + 1013904223u;
        pixel = state;
    }
    return pixels;
}

struct TRefusal
{
    const char* name;
    std::string bytes;
    const char* message; // what the log line must contain
};

using TImageReader = bool (*)(const TString& path, TDecodedImage& image, int maxSide);

// Each file is refused with an empty image and a log line "image: <path>: ..." naming
// its fault; so is a missing file.
inline void ExpectRefusals(const TImageFolder& folder, TImageReader read, const std::string& name,
                           const std::vector<TRefusal>& refusals)
{
    for (const TRefusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        const std::string path = folder.Put(name, refusal.bytes);
        TDecodedImage image;
        EXPECT_FALSE(read(path.c_str(), image, TDecodedImage::kMaxSide));
        EXPECT_EQ(image.GetSize(), 0);
        EXPECT_EQ(image.GetPixels(), nullptr);
        const std::string line = folder.LogLines().back();
        EXPECT_EQ(line.rfind(TString::Printf(kImageFailedLog, path.c_str(), "").CStr(), 0), 0u)
            << line;
        EXPECT_NE(line.find(refusal.message), std::string::npos) << line;
    }
    TDecodedImage image;
    EXPECT_FALSE(read("user:missing", image, TDecodedImage::kMaxSide));
    EXPECT_EQ(folder.CountLogLines(TString::Printf(kImageCannotOpenLog, "user:missing").CStr()), 1);
}
