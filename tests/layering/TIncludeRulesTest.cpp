#include "tests/layering/TIncludeRules.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct TCase
{
    const char* file;
    const char* line;
    const char* reason; // a part of the expected reason; "" when the include is allowed
};

TEST(TIncludeRules, AllowsAndRefuses)
{
    const TCase cases[] = {
        // Units below, directly or further down; the unit itself.
        {"engine/foundation/xml/TZxml.cpp", "#include \"engine/foundation/files/TFile.h\"", ""},
        {"engine/foundation/xml/TZxml.cpp", "#include \"engine/foundation/core/TString.h\"", ""},
        {"engine/foundation/xml/TZxml.cpp", "#include \"engine/platform/TFileSystem.h\"", ""},
        {"engine/foundation/xml/TZxml.cpp", "  #  include \"engine/foundation/xml/XmlText.h\"", ""},
        {"engine/foundation/app/TPlatform.cpp", "#include \"engine/foundation/app/TVersionInfo.h\"",
         ""},
        {"game/core/main.cpp", "#include \"engine/foundation/app/TPlatform.h\"", ""},
        {"engine/platform/TVideoSystem.cpp", "#include \"engine/platform/sdl/TSdlVideoSystem.h\"",
         ""},
        {"engine/foundation/core/TString.cpp", "// #include is only a word here", ""},
        // Above, beside, outside the table.
        {"engine/foundation/core/TClock.cpp", "#include \"engine/foundation/app/TPlatform.h\"",
         "engine/foundation/core may not include engine/foundation/app"},
        {"engine/foundation/xml/TZxml.cpp", "#include \"engine/foundation/assets/TAsset.h\"",
         "engine/foundation/xml may not include engine/foundation/assets"},
        {"engine/foundation/math/TVec2.cpp", "#include \"engine/platform/TFileSystem.h\"",
         "may not include engine/platform"},
        {"engine/platform/TFileSystem.cpp", "#include \"engine/foundation/core/TString.h\"",
         "engine/platform may not include engine/foundation/core"},
        {"engine/script/TScript.cpp", "#include \"engine/foundation/app/TPlatform.h\"",
         "engine/script may not include engine/foundation/app"},
        {"engine/script/lua/LuaAux.cpp", "#include \"engine/foundation/files/TFile.h\"",
         "engine/script/lua may not include engine/foundation/files"},
        {"engine/foundation/app/TPlatform.cpp", "#include \"game/core/Thing.h\"",
         "engine/foundation/app may not include game/core"},
        {"engine/newpart/TThing.cpp", "#include \"engine/foundation/core/TString.h\"",
         "the file's folder is not in the layering table"},
        {"engine/foundation/core/TString.cpp", "#include \"engine/newpart/TThing.h\"",
         "the included file's folder is not in the layering table"},
        // Full paths only.
        {"engine/foundation/core/TString.cpp", "#include \"TString.h\"", "full path"},
        {"engine/foundation/core/TString.cpp", "#include \"tests/engine/foundation/TempFolder.h\"",
         "full path"},
        // The interpreter through its public headers only.
        {"engine/script/TScript.cpp", "#include \"engine/script/lua/LuaAux.h\"", ""},
        {"engine/script/TScript.cpp", "#include \"engine/script/lua/runtime/LState.h\"",
         "public headers"},
        {"game/core/main.cpp", "#include \"engine/script/lua/objects/LValue.h\"", "public headers"},
        {"engine/script/lua/LuaApi.cpp", "#include \"engine/script/lua/runtime/LState.h\"", ""},
        // System headers.
        {"engine/foundation/core/TString.cpp", "#include <cstring>", ""},
        {"engine/script/lua/objects/LNumberText.cpp", "#include <locale.h>", ""},
        {"engine/foundation/xml/TZxml.cpp", "#include <zlib.h>", ""},
        {"engine/graphics/device/TSpanBlender.cpp", "#include <emmintrin.h>", ""},
        {"engine/graphics/device/TSpanBlender.cpp", "#include <x86/intrin.h>", "<backend>"},
        {"engine/platform/sdl/TSdlKeyMap.h", "#include <SDL.h>", ""},
        {"engine/platform/posix/TPosixMappedFile.cpp", "#include <sys/mman.h>", ""},
        {"engine/foundation/app/TEventPump.cpp", "#include <SDL.h>", "engine/platform/<backend>/"},
        {"engine/platform/TFileSystem.cpp", "#include <unistd.h>", "engine/platform/<backend>/"},
        {"engine/foundation/core/TClock.cpp", "#include <zlib.h>", "engine/platform/<backend>/"},
        {"game/core/main.cpp", "#include <X11/Xlib.h>", "engine/platform/<backend>/"},
    };
    for (const TCase& c : cases) {
        const std::string reason = TIncludeRules::Check(c.file, c.line);
        if (c.reason[0] == '\0')
            EXPECT_EQ(reason, "") << c.file << ": " << c.line;
        else
            EXPECT_NE(reason.find(c.reason), std::string::npos)
                << c.file << ": " << c.line << "\n  gave: " << reason;
    }
}

TEST(TIncludeRules, TheSourceTreeKeepsThem)
{
    const std::string root = VELMORA_SOURCE_DIR;
    ASSERT_TRUE(std::filesystem::exists(root + "/engine/foundation/core/TString.h"));
    for (const TIncludeRules::TViolation& v : TIncludeRules::CheckTree(root))
        ADD_FAILURE() << v.where << ": " << v.line << "\n  " << v.reason;
}

} // namespace
