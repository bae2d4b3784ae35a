#pragma once
// The largest input of each kind the tools read whole, in bytes: the limit of the
// engine's own reader where it has one, else a bound far above any real content. A file
// above its limit is refused as "larger than N bytes" (ReadWholeFile).

#include "engine/foundation/xml/TZxml.h"

#include <cstddef>

// XML text to pack: the most a packed file may unpack to.
constexpr size_t kMaxXmlTextBytes = TZxml::kMaxUnpackedSize;
// XML files in either form, as the engine's XML reader refuses larger packed ones.
constexpr size_t kMaxXmlFileBytes = size_t{TZxml::kMaxUnpackedSize} + (1u << 20);
// Scripts and precompiled chunks (the interpreter itself sets no limit).
constexpr size_t kMaxScriptBytes = 64u << 20;
// ".mvec" vector fonts, as the engine's font cache refuses larger ones.
constexpr size_t kMaxVectorFontBytes = 16u << 20;
// Outline fonts (TrueType, CFF), collections of fonts for the largest scripts included.
constexpr size_t kMaxOutlineFontBytes = 128u << 20;
// One file packed into a package (the package as a whole stops at 4 GiB).
constexpr size_t kMaxPackageEntryBytes = 256u << 20;
