// particledemo: plays the sample particle effects of the content on the software device
// and writes every frame to FOLDER/frame_NNN.png for a person to look at: a fountain of
// sparkles (fx/sparkle.lua) on the left and a burst of petals (fx/petals.lua) on the
// right, started again each time it has finished, over a dusk sky. Time is driven by
// hand, 16 ms a frame, and the shared particle generator is seeded, so every run draws
// the same frames.
// usage: particledemo [--content DIR] FOLDER [FRAMES]
//   DIR holds the content folder assets/ (by default the build's); the log, with any
//   script error, is FOLDER/logfile.txt.
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/particles/TLuaParticleSystem.h"
#include "engine/graphics/particles/TParticleRandom.h"
#include "engine/platform/TTimeSource.h"
#include "engine/script/TScript.h"
#include "tools/support/OpaqueFrame.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"
#include "tools/support/ToolOptions.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const TToolHelp kHelp{
    "particledemo", "[--content DIR] FOLDER [FRAMES]",
    "Plays the sample particle effects of the content and saves each frame as "
    "FOLDER/frame_NNN.png.",
    "  --content DIR       the folder holding the content's assets/ (default: the build's)\n"
    "  FOLDER              where the frames and the log go; made when missing\n"
    "  FRAMES              how many frames, 16 ms apart: 1 to 1000 (default 120)\n"};
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kStepMs = 16;
constexpr uint32_t kSeed = 1905;
const TVec3 kFountain(100, 196, 0);
const TVec3 kBurst(226, 104, 0);

// A dusk sky from deep blue to violet, and a dark lawn with a stone rim for the fountain.
void DrawBackdrop(TRenderer& renderer)
{
    constexpr int kBands = 48;
    constexpr int kHorizon = 204;
    for (int band = 0; band < kBands; ++band) {
        const float t = static_cast<float>(band) / (kBands - 1);
        const int top = kHorizon * band / kBands;
        const int bottom = kHorizon * (band + 1) / kBands;
        renderer.FillRect(TRect(0, top, kWidth, bottom),
                          TColor(0.07f + 0.30f * t, 0.09f + 0.07f * t, 0.22f + 0.14f * t, 1));
    }
    renderer.FillRect(TRect(0, kHorizon, kWidth, kHeight), TColor(0.06f, 0.14f, 0.10f, 1));
    renderer.FillRect(TRect(78, 198, 122, 206), TColor(0.42f, 0.40f, 0.44f, 1));
    renderer.FillRect(TRect(82, 196, 118, 198), TColor(0.20f, 0.30f, 0.42f, 1));
}

bool DrawFrame(TRenderer& renderer, TLuaParticleSystem& fountain, TLuaParticleSystem& burst,
               int index)
{
    if (!renderer.BeginDraw(false) || !renderer.Begin2d())
        return false;
    renderer.SetFilter(TFilter::Linear);
    DrawBackdrop(renderer);
    fountain.Draw(kFountain);
    burst.Draw(kBurst);
    renderer.End2d();
    renderer.EndDraw(false);
    const std::vector<uint32_t> frame = OpaqueFrame(*renderer.GetDisplayHandler().GetBackBuffer());
    char name[64];
    std::snprintf(name, sizeof name, "user:frame_%03d.png", index);
    return WritePngImage(name, frame.data(), kWidth, kHeight, kWidth * 4);
}

int PlayEffects(int argc, char** argv)
{
    std::string content = VELMORA_CONTENT_DIR;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--content") == 0 && i + 1 < argc)
            content = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (args.empty() || args.size() > 2)
        return UsageError(kHelp);
    int64_t frames = 120;
    if (args.size() == 2 &&
        !ReadWholeNumber("particledemo", "FRAMES", args[1].c_str(), 1, 1000, frames))
        return 2;
    const std::string& folder = args[0];
    if (!MakeOutputFolder("particledemo", folder))
        return 1;
    TPathMap& paths = TPathMap::Get();
    paths.SetDataFolders(folder.c_str(), folder.c_str(), folder.c_str());
    paths.SetWorkingFolder(content.c_str());
    paths.LoadFinalList();
    InitLog(folder.c_str()); // script errors go to FOLDER/logfile.txt

    TManualTimeSource time(1000);
    TRenderer& renderer = *TRenderer::Get();
    renderer.GetDisplayHandler().OpenBackBuffer(kWidth, kHeight);
    renderer.PushClipRect(TRect(0, 0, kWidth, kHeight));

    bool ok = true;
    {
        TLuaParticleSystem fountain;
        TLuaParticleSystem burst;
        TParticleRandom::Seed(kSeed);
        if (!fountain.Load("fx/sparkle.lua") || !burst.Load("fx/petals.lua")) {
            std::fprintf(stderr,
                         "particledemo: cannot load fx/sparkle.lua and fx/petals.lua "
                         "from %s/assets\n",
                         content.c_str());
            TRenderer::Destroy();
            InitLog(nullptr);
            return 1;
        }
        for (int i = 0; i < frames && ok; ++i) {
            fountain.Update(kStepMs);
            burst.Update(kStepMs);
            if (burst.IsDone()) {
                burst.Reset();
                burst.Load("fx/petals.lua");
            }
            ok = DrawFrame(renderer, fountain, burst, i);
            time.Advance(kStepMs);
        }
    }
    TRenderer::Destroy();
    InitLog(nullptr);
    if (!ok) {
        std::fprintf(stderr, "particledemo: cannot draw or write the frames into %s\n",
                     folder.c_str());
        return 1;
    }
    std::printf("particledemo: %d frames in %s/frame_NNN.png\n", static_cast<int>(frames),
                folder.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &PlayEffects);
}
