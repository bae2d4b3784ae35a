// The JPEG reader (ReadJpegImage) over arbitrary files, read through the engine's own
// file functions and the reader's source manager from a memory file. Whatever decodes
// must be opaque inside the picture and zero outside it.
// Seeds: fuzz/corpus/jpeg_image/, written by the image-seeds tool.
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/image/JpegImage.h"
#include "engine/graphics/image/TDecodedImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RegisterMemoryFile("fuzz.jpg", data, size);
    TDecodedImage image;
    if (ReadJpegImage("fuzz.jpg", image)) {
        for (int y = 0; y < image.GetSize(); ++y)
            for (int x = 0; x < image.GetSize(); ++x) {
                const bool inside = x < image.GetWidth() && y < image.GetHeight();
                if ((image.Row(y)[x] >> 24 == 0xff) != inside)
                    std::abort();
            }
    }
    RegisterMemoryFile("fuzz.jpg", nullptr, 0);
    return 0;
}
