// The PNG reader (ReadPngImage) over arbitrary files, read through the engine's own file
// functions from a memory file. Each input is tried as it is and, when its chunk CRCs
// are wrong, once more with them mended, so that mutations get past the CRC check and
// reach the decoder. Whatever decodes must keep its padding zero.
// Seeds: fuzz/corpus/png_image/, written by the image-seeds tool.
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

uint32_t BigEndian(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Rewrites the CRC of every whole chunk after the signature; true when one changed.
bool MendCrcs(std::vector<uint8_t>& png)
{
    bool changed = false;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = BigEndian(&png[at]);
        if (length > png.size() - at - 12)
            break;
        const uint32_t crc = uint32_t(crc32(0, &png[at + 4], length + 4));
        uint8_t* stored = &png[at + 8 + length];
        if (BigEndian(stored) != crc) {
            for (int i = 0; i < 4; ++i)
                stored[i] = uint8_t(crc >> (24 - 8 * i));
            changed = true;
        }
        at += 12 + size_t(length);
    }
    return changed;
}

void Decode(const uint8_t* data, size_t size)
{
    RegisterMemoryFile("fuzz.png", data, size);
    TDecodedImage image;
    if (ReadPngImage("fuzz.png", image)) {
        for (int y = 0; y < image.GetSize(); ++y)
            for (int x = y < image.GetHeight() ? image.GetWidth() : 0; x < image.GetSize(); ++x)
                if (image.Row(y)[x] != 0)
                    std::abort();
    }
    RegisterMemoryFile("fuzz.png", nullptr, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Decode(data, size);
    std::vector<uint8_t> mended(data, data + size);
    if (MendCrcs(mended))
        Decode(mended.data(), mended.size());
    return 0;
}
