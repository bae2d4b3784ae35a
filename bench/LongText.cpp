// Long texts where the engine once measured a string again for every character or word:
// the game's start-up with a window title of 1.2 million characters in strings.xml (the
// title is converted from Latin-1 to UTF-8 for the window), and reading an XML element
// whose text is 400,000 words (each word is appended to the element's text). Goal for
// both: well under 100 ms. The start-up with a short title is timed too, as the
// baseline the long title adds to.

#include "bench/support/BenchRun.h"
#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/xml/TGetCharString.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "game/core/GameStartup.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kTitleLength = 1200000;
constexpr int kWordCount = 400000;

// A Latin-1 title: every fourth character is above 127, so the conversion writes two
// bytes for it.
std::string LongTitle()
{
    std::string title(kTitleLength, 'a');
    for (size_t i = 0; i < title.size(); i += 4)
        title[i] = '\xe9';
    return title;
}

std::string StringsXml(const std::string& title)
{
    return "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>\n"
           "<Row><Cell><Data ss:Type=\"String\">windowtitle</Data></Cell>"
           "<Cell><Data ss:Type=\"String\">" +
           title + "</Data></Cell></Row>\n</Table></Worksheet></Workbook>\n";
}

int SetTitleAndEnd(TPlatform* platform, const char*)
{
    platform->SetWindowTitle(platform->GetStringTable().GetString("windowtitle"));
    return 0;
}

// A game folder with its strings.xml, data and runtime folders of its own, on SDL's
// dummy drivers; removed at the end.
class TGameFolder
{
public:
    explicit TGameFolder(const std::string& title)
    {
        std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
        mRoot = mkdtemp(pattern.data());
        fs::create_directories(mRoot / "assets");
        fs::create_directories(mRoot / "run");
        std::ofstream(mRoot / "assets" / "strings.xml", std::ios::binary) << StringsXml(title);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_DATA_HOME", (mRoot / "data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (mRoot / "run").c_str(), 1);
        mCommandLine = "-wd=\"" + mRoot.string() + "\" --multiple";
    }
    ~TGameFolder()
    {
        std::error_code error;
        fs::current_path(fs::temp_directory_path(), error);
        fs::remove_all(mRoot, error);
    }

    const std::string& CommandLine() const { return mCommandLine; }

private:
    fs::path mRoot;
    std::string mCommandLine;
};

void StartUp(benchmark::State& state, const std::string& title)
{
    TGameFolder folder(title);
    YOLT::Core::SetGameIdentity();
    InstallGraphics();
    // The sound manager stays its stand-in: opening the audio device on SDL's dummy
    // driver waits about 70 ms, which has nothing to do with text.
    for (auto _ : state) {
        EngineMain(folder.CommandLine().c_str(), 0, SetTitleAndEnd, false);
        InitLog(nullptr); // the next run's first lines come before its own log starts
    }
}

void BM_StartUpWithLongWindowTitle(benchmark::State& state)
{
    SetGoal(state, "well under 100 ms more than the start-up with a short title");
    StartUp(state, LongTitle());
}
BENCHMARK(BM_StartUpWithLongWindowTitle)->Unit(benchmark::kMillisecond);

void BM_StartUpWithShortWindowTitle(benchmark::State& state)
{
    SetNoGoal(state, "the start-up the long title adds to");
    StartUp(state, "Velmora");
}
BENCHMARK(BM_StartUpWithShortWindowTitle)->Unit(benchmark::kMillisecond);

void BM_XmlElementOfManyWords(benchmark::State& state)
{
    SetGoal(state, "well under 100 ms");
    std::string xml = "<text>";
    for (int i = 0; i < kWordCount; ++i)
        xml += i % 2 == 0 ? "bath " : "towel\n";
    xml += "</text>";
    int textLength = 0;
    for (auto _ : state) {
        TGetCharString source(xml.data(), xml.size());
        TXmlNode root;
        root.Parse(source);
        const TXmlNode* text = root.FindChild("text");
        textLength = text != nullptr ? text->GetText().Length() : 0;
    }
    if (textLength != kWordCount / 2 * 11 - 1)
        state.SkipWithError("the element's text is not the words read");
}
BENCHMARK(BM_XmlElementOfManyWords)->Unit(benchmark::kMillisecond);

} // namespace
