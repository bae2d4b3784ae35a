// The packed "ZXML" form: header checks, zlib, then the reader over what came out.
#include "engine/foundation/xml/TXmlNode.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TXmlNode root;
    root.LoadPacked(data, size);
    return 0;
}
