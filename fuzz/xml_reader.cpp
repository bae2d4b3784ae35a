// The XML reader over any bytes (plain, or packed when they begin with "ZXML"), then the
// writer over whatever tree came out, and the reader once more over the writer's text.
#include "engine/foundation/xml/TXmlNode.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TXmlNode root("root");
    root.LoadString(reinterpret_cast<const char*>(data), size);
    const TString text = root.ToString();
    TXmlNode again;
    again.LoadString(text.CStr());
    return 0;
}
