#include "tools/mkmvec/writer/MvecWriter.h"

#include "engine/foundation/core/LittleEndian.h"
#include "engine/graphics/text/MvecFormat.h"

#include <algorithm>

bool BuildMvecImage(std::vector<TMvecGlyph> glyphs, std::vector<uint8_t>& image,
                    std::string& reason)
{
    using namespace MvecFormat;
    if (glyphs.size() > 0xFFFF) {
        reason = "more than 65535 glyphs";
        return false;
    }
    std::sort(glyphs.begin(), glyphs.end(),
              [](const TMvecGlyph& a, const TMvecGlyph& b) { return a.code < b.code; });
    for (size_t i = 1; i < glyphs.size(); ++i)
        if (glyphs[i].code == glyphs[i - 1].code) {
            reason = "code " + std::to_string(glyphs[i].code) + " given twice";
            return false;
        }
    image.assign(kMagic, kMagic + sizeof kMagic);
    AppendLE16(image, static_cast<uint16_t>(glyphs.size()));
    AppendLE16(image, kEmSize);
    AppendLE16(image, kRevision);
    AppendLE16(image, 0);
    size_t offset = kHeaderSize + kRecordSize * glyphs.size();
    for (const TMvecGlyph& glyph : glyphs) {
        AppendLE32(image, glyph.code);
        for (const int16_t value : {glyph.xMin, glyph.xMax, glyph.yMin, glyph.yMax, glyph.advance})
            AppendLE16(image, static_cast<uint16_t>(value));
        AppendLE32(image, static_cast<uint32_t>(offset));
        offset += glyph.outline.size();
    }
    for (const TMvecGlyph& glyph : glyphs)
        image.insert(image.end(), glyph.outline.begin(), glyph.outline.end());
    return true;
}
