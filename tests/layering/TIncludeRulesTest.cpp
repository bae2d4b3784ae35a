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
        // Layers inside graphics: a topic folder includes the ones below it; the core is
        // the folder's own files, and each subfolder needs a row of its own.
        {"engine/graphics/text/TTextLayout.cpp", "#include \"engine/graphics/vector/TOutline.h\"",
         ""},
        {"engine/graphics/particles/nodes/sources/TSource.cpp",
         "#include \"engine/graphics/anim/TAnimatedTexture.h\"", ""},
        {"engine/graphics/install/GraphicsInstall.cpp",
         "#include \"engine/foundation/app/TPlatform.h\"", ""},
        {"engine/graphics/device/TSurface.cpp", "#include \"engine/graphics/sprite/TSprite.h\"",
         "engine/graphics/device may not include engine/graphics/sprite"},
        {"engine/graphics/TRenderer.cpp", "#include \"engine/graphics/text/TTextLayout.h\"",
         "engine/graphics may not include engine/graphics/text"},
        // Graphics reaches the running engine through its host; only the install folder
        // sees the platform facade.
        {"engine/graphics/TRenderer.cpp", "#include \"engine/foundation/app/TPlatform.h\"",
         "engine/graphics may not include engine/foundation/app"},
        {"engine/graphics/sprite/TSprite.cpp", "#include \"engine/foundation/app/TPlatform.h\"",
         "engine/graphics/sprite may not include engine/foundation/app"},
        {"engine/graphics/vector/TOutline.cpp", "#include \"engine/graphics/text/FontCache.h\"",
         "engine/graphics/vector may not include engine/graphics/text"},
        {"engine/graphics/sprite/TSprite.cpp", "#include \"engine/graphics/particles/TP.h\"",
         "engine/graphics/sprite may not include engine/graphics/particles"},
        {"engine/graphics/anim/TAnim.cpp", "#include \"engine/script/TScript.h\"",
         "engine/graphics/anim may not include engine/script"},
        {"engine/graphics/text/TFont.cpp", "#include \"engine/graphics/install/GraphicsInstall.h\"",
         "engine/graphics/text may not include engine/graphics/install"},
        {"engine/graphics/newpart/TThing.cpp", "#include \"engine/graphics/TTexture.h\"",
         "the file's folder is not in the layering table"},
        // Layers inside the window toolkit; widgets and the manager beside each other.
        {"engine/ui/widgets/TButton.cpp", "#include \"engine/ui/window/TWindowServices.h\"", ""},
        {"engine/ui/script/TWindowScript.cpp", "#include \"engine/ui/widgets/TButton.h\"", ""},
        {"engine/ui/script/TWindowScript.cpp", "#include \"engine/ui/manager/TWindowManager.h\"",
         ""},
        {"engine/ui/message/TMessage.cpp", "#include \"engine/ui/window/TWindow.h\"",
         "engine/ui/message may not include engine/ui/window"},
        {"engine/ui/window/TWindow.cpp", "#include \"engine/ui/widgets/TButton.h\"",
         "engine/ui/window may not include engine/ui/widgets"},
        {"engine/ui/window/TWindow.cpp", "#include \"engine/ui/manager/TWindowManager.h\"",
         "engine/ui/window may not include engine/ui/manager"},
        {"engine/ui/widgets/TButton.cpp", "#include \"engine/ui/manager/TWindowManager.h\"",
         "engine/ui/widgets may not include engine/ui/manager"},
        {"engine/ui/manager/TWindowManager.cpp", "#include \"engine/ui/widgets/TButton.h\"",
         "engine/ui/manager may not include engine/ui/widgets"},
        {"engine/ui/manager/TWindowManager.cpp", "#include \"engine/ui/script/TWindowScript.h\"",
         "engine/ui/manager may not include engine/ui/script"},
        {"engine/ui/script/TWindowScript.cpp", "#include \"engine/ui/install/UiInstall.h\"",
         "engine/ui/script may not include engine/ui/install"},
        // Backend folders: only the backend itself and the interfaces' sources.
        {"engine/platform/sdl/TSdlAudioDevice.cpp", "#include \"engine/platform/sdl/TSdlKeyMap.h\"",
         ""},
        {"engine/platform/sdl/TSdlAudioDevice.cpp", "#include \"engine/platform/TAudioDevice.h\"",
         ""},
        {"engine/platform/sdl/TSdlVideoSystem.cpp",
         "#include \"engine/platform/posix/TPosixFileSystem.h\"", "backend folder"},
        {"engine/platform/TVideoSystem.h", "#include \"engine/platform/sdl/TSdlVideoSystem.h\"",
         "backend folder"},
        {"engine/foundation/app/TPlatform.cpp", "#include \"engine/platform/sdl/TSdlKeyMap.h\"",
         "backend folder"},
        {"game/core/main.cpp", "#include \"engine/platform/posix/TPosixTimeSource.h\"",
         "backend folder"},
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
        // The game's areas: topic folders belong to their area; minigames stand apart.
        {"game/core/data/UserManager.cpp", "#include \"engine/foundation/prefs/TPrefs.h\"", ""},
        {"game/core/data/UserManager.cpp", "#include \"game/core/script/ScriptPublisher.h\"", ""},
        {"game/spa/Station.cpp", "#include \"game/core/data/GameUserData.h\"", ""},
        {"game/minigames/meditation/Thought.cpp", "#include \"game/core/data/GameUserData.h\"", ""},
        {"game/core/data/GameUserData.cpp", "#include \"game/spa/BaseLevel.h\"",
         "game/core may not include game/spa"},
        {"game/minigames/sandalwood/Basket.cpp", "#include \"game/spa/Station.h\"",
         "game/minigames/sandalwood may not include game/spa"},
        {"game/minigames/meditation/Thought.cpp", "#include \"game/minigames/mixer/Mixer.h\"",
         "game/minigames/meditation may not include game/minigames/mixer"},
        {"game/spa/Station.cpp", "#include \"game/shell/WndLevelSelector.h\"",
         "game/spa may not include game/shell"},
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
