#pragma once

// The fonts of the process by name. A name is read once: its file, or when that cannot
// be opened "fonts/default.mvec", or when that cannot either the built-in font; the font
// is kept under the requested name, so asking again for a missing font costs no file
// access. "__DEFAULT" is the built-in font. Fonts live until Clear (the platform's
// shutdown of text), so the pointers handed out stay valid until then.
//
// Main thread only.

#include "engine/foundation/core/TString.h"

class TVecFont;

class FontCache
{
public:
    static constexpr const char* kBuiltInName = "__DEFAULT";
    static constexpr const char* kDefaultFile = "fonts/default.mvec";
    // GetFont's log line when no font at all could be made (the name).
    static constexpr const char* kNotFoundLog = "graphics: font: %s: not found";

    // Never null, short of memory.
    static TVecFont* GetFont(const TString& name);
    // Deletes every font.
    static void Clear();
};
