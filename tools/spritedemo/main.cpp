// spritedemo: plays animated sprites in a sprite tree on the software device and writes
// every frame to FOLDER/frame_NN.png for a person to look at. The pictures are computed
// here and written to FOLDER/demo/: a sheet of eight frames of a steaming teacup, its
// animation file (XML, with a script in the engine's dialect) and a backdrop. Three cups
// play on a shelf: one loops the steam, one (mirrored, larger) fades out and in again,
// one starts later; time is driven by hand, 40 ms per frame.
// usage: spritedemo FOLDER [FRAMES]
#include "engine/foundation/core/TTaskList.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/sprite/TAnimatedSprite.h"
#include "engine/platform/TTimeSource.h"
#include "tools/support/OpaqueFrame.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"
#include "tools/support/ToolOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const TToolHelp kHelp{
    "spritedemo", "FOLDER [FRAMES]",
    "Plays animated sprites (a sheet and its animation file written to FOLDER/demo/) and saves "
    "each frame as FOLDER/frame_NN.png.",
    "  FOLDER              where the pictures go; made when missing\n"
    "  FRAMES              how many frames, 40 ms apart: 1 to 100 (default 24)\n"};
constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr int kFrameSide = 64;
constexpr int kSheetFrames = 8;
constexpr int kStepMs = 40;

uint32_t Pixel(float a, float r, float g, float b)
{
    const auto byte = [](float v) { return uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// How much of a disc of radius r around (cx, cy) covers (x, y), with a soft edge.
float Disc(float x, float y, float cx, float cy, float r)
{
    const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    return std::clamp(r - d, 0.0f, 1.0f);
}

// Frame f of the teacup: a cup with a handle on a saucer, and three puffs of steam that
// rise and fade as f goes on (the eighth frame leads back to the first).
uint32_t Teacup(int f, float x, float y)
{
    float steam = 0.0f;
    for (int puff = 0; puff < 3; ++puff) {
        const float phase = std::fmod((f + puff * 2.67f) / kSheetFrames, 1.0f);
        const float py = 30.0f - phase * 28.0f;
        const float px = 32.0f + 5.0f * std::sin(phase * 6.283f + puff * 2.0f);
        steam = std::max(steam, Disc(x, y, px, py, 4.0f + 3.0f * phase) * (1.0f - phase));
    }
    const bool bowl = y >= 34 && y <= 54 && std::fabs(x - 32) <= 18 - (y - 34) * 0.35f;
    const bool rim = y >= 33 && y < 36 && std::fabs(x - 32) <= 19;
    const float handle = std::fabs(std::sqrt((x - 52) * (x - 52) + (y - 42) * (y - 42)) - 5.0f);
    const bool saucer = y >= 55 && y <= 59 && std::fabs(x - 32) <= 27 - (y - 55);
    if (rim)
        return Pixel(1, 0.95f, 0.95f, 0.9f);
    if (bowl) {
        const float shade = 0.75f + 0.25f * (x - 14) / 36.0f;
        const bool band = y >= 42 && y < 45;
        return band ? Pixel(1, 0.3f * shade, 0.6f * shade, 0.55f * shade)
                    : Pixel(1, 0.98f * shade, 0.93f * shade, 0.85f * shade);
    }
    if (handle < 1.6f && x > 49)
        return Pixel(1, 0.85f, 0.8f, 0.72f);
    if (saucer)
        return Pixel(1, 0.3f, 0.6f, 0.55f);
    return Pixel(steam * 0.8f, 1, 1, 1);
}

std::vector<uint32_t> Sheet()
{
    const int width = kFrameSide * kSheetFrames;
    std::vector<uint32_t> pixels(size_t(width) * kFrameSide);
    for (int f = 0; f < kSheetFrames; ++f)
        for (int y = 0; y < kFrameSide; ++y)
            for (int x = 0; x < kFrameSide; ++x)
                pixels[size_t(y) * width + f * kFrameSide + x] = Teacup(f, x + 0.5f, y + 0.5f);
    return pixels;
}

// A warm wall above a wooden shelf.
std::vector<uint32_t> Backdrop()
{
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float v = float(y) / kHeight;
            const bool shelf = y >= 150 && y < 166;
            const float grain = 0.04f * std::sin(x * 0.21f + y * 0.9f);
            pixels[size_t(y) * kWidth + x] =
                shelf ? Pixel(1, 0.55f + grain, 0.36f + grain, 0.2f)
                      : Pixel(1, 0.93f - 0.2f * v, 0.85f - 0.25f * v, 0.75f - 0.2f * v);
        }
    return pixels;
}

// The animation: eight frames side by side, registered at the saucer's middle; the script
// loops the steam, or fades the cup out and in again.
std::string AnimationXml()
{
    std::string xml = "<sequence name=\"teacup\" source=\"spritedemo\">\n"
                      "    <img w=\"512\" h=\"64\" name=\"teacup.png\"/>\n    <framelist>\n";
    for (int f = 0; f < kSheetFrames; ++f)
        xml += "        <frame x=\"" + std::to_string(f * kFrameSide) +
               "\" y=\"0\" w=\"64\" h=\"64\"" + (f == 0 ? " regx=\"32\" regy=\"58\"" : "") + "/>\n";
    return xml +
           "    </framelist>\n"
           "    <script luascript=\"function DoAnim() delay(80) loop(4, {1,2,3,4,5,6,7,8}) end "
           "function Fade() delay(80) fadeout(8) frames{1,2,3,4,5,6,7,8} "
           "fadein(8) frames{1,2,3,4,5,6,7,8} end\"/>\n"
           "</sequence>\n";
}

bool WriteContent(const std::string& folder)
{
    const std::vector<uint32_t> sheet = Sheet();
    const std::vector<uint32_t> backdrop = Backdrop();
    return WritePngImage("user:demo/teacup.png", sheet.data(), kFrameSide * kSheetFrames,
                         kFrameSide, kFrameSide * kSheetFrames * 4) &&
           WritePngImage("user:demo/backdrop.png", backdrop.data(), kWidth, kHeight, kWidth * 4) &&
           WriteOutputFile("spritedemo", folder + "/demo/teacup.xml", AnimationXml());
}

std::shared_ptr<TAnimatedSprite> Cup(const std::shared_ptr<TAnimatedTexture>& animation, float x,
                                     int layer)
{
    std::shared_ptr<TAnimatedSprite> cup = TAnimatedSprite::Create(layer);
    cup->SetTexture(animation);
    cup->SetPosition(TVec2(x, 152));
    return cup;
}

bool DrawFrame(TRenderer& renderer, TSprite& scene, int index)
{
    if (!renderer.BeginDraw(false) || !renderer.Begin2d())
        return false;
    renderer.SetFilter(TFilter::Linear);
    scene.Draw(DrawState());
    renderer.End2d();
    renderer.EndDraw(false);
    const std::vector<uint32_t> frame = OpaqueFrame(*renderer.GetDisplayHandler().GetBackBuffer());
    char name[64];
    std::snprintf(name, sizeof name, "user:frame_%02d.png", index);
    return WritePngImage(name, frame.data(), kWidth, kHeight, kWidth * 4);
}

int PlaySprites(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
        return UsageError(kHelp);
    int64_t frames = 24;
    if (argc == 3 && !ReadWholeNumber("spritedemo", "FRAMES", argv[2], 1, 100, frames))
        return 2;
    const std::string folder = argv[1];
    if (!MakeOutputFolder("spritedemo", folder))
        return 1;
    TPathMap::Get().SetDataFolders(folder.c_str(), folder.c_str(), folder.c_str());
    if (!WriteContent(folder)) {
        std::fprintf(stderr, "spritedemo: cannot write the pictures into %s/demo\n",
                     folder.c_str());
        return 1;
    }
    TManualTimeSource time(1000);
    TRenderer& renderer = *TRenderer::Get();
    renderer.GetDisplayHandler().OpenBackBuffer(kWidth, kHeight);
    renderer.PushClipRect(TRect(0, 0, kWidth, kHeight));

    const std::shared_ptr<TAnimatedTexture> teacup = TAnimatedTexture::Get("user:demo/teacup");
    const std::shared_ptr<TTexture> backdrop = TTexture::Get("user:demo/backdrop.png");
    if (!teacup || !backdrop) {
        std::fprintf(stderr, "spritedemo: cannot load the pictures back\n");
        return 1;
    }
    std::shared_ptr<TSprite> scene = TSprite::Create();
    scene->SetBlendMode(kBlendNormal); // for every sprite that does not choose its own
    std::shared_ptr<TSprite> wall = TSprite::Create(-1, backdrop);
    wall->SetPosition(TVec2(kWidth / 2.0f, kHeight / 2.0f));
    wall->SetBlendMode(kBlendOpaque);
    scene->AddChild(wall);
    std::shared_ptr<TAnimatedSprite> looping = Cup(teacup, 60, 0);
    std::shared_ptr<TAnimatedSprite> fading = Cup(teacup, 160, 1);
    fading->SetFlags(DrawState::kMirrorX);
    fading->GetDrawState().matrix.ScaleUniform(1.5f);
    std::shared_ptr<TAnimatedSprite> late = Cup(teacup, 260, 0);
    for (const std::shared_ptr<TAnimatedSprite>& cup : {looping, fading, late})
        scene->AddChild(cup);
    looping->Play("DoAnim");
    fading->Play("Fade");
    late->SetCurrentFrame(-1); // not shown until it starts

    bool written = true;
    for (int i = 0; i < frames && written; ++i) {
        if (i == 6)
            late->Play("DoAnim");
        written = DrawFrame(renderer, *scene, i);
        time.Advance(kStepMs);
        TGraphicsHost::Get().GetAnimationTasks().RunAll(kPassEveryTurn);
    }
    scene.reset();
    looping.reset();
    fading.reset();
    late.reset();
    TGraphicsHost::Get().GetAnimationTasks().RunAll(kPassEveryTurn); // deletes the scripts
    TRenderer::Destroy();
    if (!written) {
        std::fprintf(stderr, "spritedemo: cannot draw or write the frames into %s\n",
                     folder.c_str());
        return 1;
    }
    std::printf("spritedemo: %d frames in %s/frame_NN.png\n", static_cast<int>(frames),
                folder.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &PlaySprites);
}
