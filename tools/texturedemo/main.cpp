// texturedemo: draws a small scene with the engine's textures on the software device and
// writes the back buffer to FOLDER/frame.png for a person to look at. The pictures are
// computed here, written to FOLDER as PNG and JPEG files (demo/*), and loaded back
// through the texture cache: a JPEG sky drawn opaque, PNG leaves with soft alpha edges
// (rotated, scaled, mirrored, tinted), a JPEG flower whose alpha comes from a PNG mask,
// additive glows, a multiplied shadow band, and a simple texture blitted after the frame.
// usage: texturedemo FOLDER
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/image/JpegImage.h"
#include "engine/graphics/image/PngImage.h"
#include "tools/support/OpaqueFrame.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const TToolHelp kHelp{
    "texturedemo", "FOLDER",
    "Draws a scene of textures, whose pictures it writes to FOLDER/demo/, and saves it as "
    "FOLDER/frame.png.",
    "  FOLDER              where the pictures go; made when missing\n"};

constexpr int kWidth = 400;
constexpr int kHeight = 300;

uint32_t Pixel(float a, float r, float g, float b)
{
    const auto byte = [](float v) { return uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// width x height pixels from a function of the pixel centre in 0..1.
std::vector<uint32_t> Paint(int width, int height, const std::function<uint32_t(float, float)>& at)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * width + x] = at((x + 0.5f) / width, (y + 0.5f) / height);
    return pixels;
}

uint32_t Sky(float u, float v)
{
    const float hill = 0.72f + 0.06f * std::sin(u * 9.0f) + 0.03f * std::sin(u * 23.0f + 1.0f);
    if (v > hill)
        return Pixel(1, 0.25f + 0.1f * v, 0.55f - 0.2f * (v - hill), 0.35f);
    return Pixel(1, 0.55f + 0.35f * v, 0.75f + 0.2f * v, 0.95f);
}

// A leaf along the diagonal, its edge fading out over a few pixels.
uint32_t Leaf(float u, float v)
{
    const float along = (u - 0.5f + v - 0.5f) * 0.7071f;
    const float across = (u - 0.5f - (v - 0.5f)) * 0.7071f;
    const float inside = 1.0f - (along * along / 0.16f + across * across / 0.025f);
    const float vein = std::fabs(across) < 0.012f ? 0.25f : 0.0f;
    return Pixel(inside * 6.0f, 0.2f + vein, 0.55f + 0.3f * along + vein, 0.25f);
}

// A five-petal flower on a plain ground (the mask cuts it out).
uint32_t Flower(float u, float v)
{
    const float dx = u - 0.5f;
    const float dy = v - 0.5f;
    const float radius = std::sqrt(dx * dx + dy * dy);
    if (radius < 0.12f)
        return Pixel(1, 0.95f, 0.8f, 0.2f);
    return Pixel(1, 0.85f, 0.35f + radius, 0.6f + 0.3f * radius);
}

uint32_t FlowerMask(float u, float v)
{
    const float dx = u - 0.5f;
    const float dy = v - 0.5f;
    const float petals = 0.3f + 0.15f * std::cos(5.0f * std::atan2(dy, dx));
    const float coverage = std::clamp((petals - std::sqrt(dx * dx + dy * dy)) * 40.0f, 0.0f, 1.0f);
    return Pixel(1, coverage, 0, 0);
}

uint32_t Glow(float u, float v)
{
    const float dx = u - 0.5f;
    const float dy = v - 0.5f;
    const float fall = std::max(0.0f, 1.0f - 4.0f * (dx * dx + dy * dy));
    return Pixel(fall * fall, 1.0f, 0.85f, 0.5f);
}

uint32_t Band(float u, float)
{
    const float shade = 0.55f + 0.45f * std::fabs(u - 0.5f) * 2.0f;
    return Pixel(1, shade, shade, shade * 0.9f + 0.1f);
}

uint32_t Stamp(float u, float v)
{
    const bool check = (int(u * 4) + int(v * 4)) % 2 == 0;
    return check ? Pixel(1, 0.9f, 0.3f, 0.3f) : Pixel(1, 1, 1, 1);
}

bool WritePng(const char* name, int width, int height, std::vector<uint32_t> pixels)
{
    return WritePngImage(name, pixels.data(), width, height, width * 4);
}

bool WriteJpeg(const char* name, int width, int height, std::vector<uint32_t> pixels)
{
    return WriteJpegImage(name, 0.92f, width, height, width * 4, pixels.data());
}

bool WritePictures()
{
    return WriteJpeg("user:demo/sky.jpg", kWidth, kHeight, Paint(kWidth, kHeight, Sky)) &&
           WritePng("user:demo/leaf.png", 64, 64, Paint(64, 64, Leaf)) &&
           WriteJpeg("user:demo/flower.jpg", 96, 96, Paint(96, 96, Flower)) &&
           WritePng("user:demo/flower-mask.png", 96, 96, Paint(96, 96, FlowerMask)) &&
           WritePng("user:demo/glow.png", 32, 32, Paint(32, 32, Glow)) &&
           WritePng("user:demo/band.png", 128, 16, Paint(128, 16, Band)) &&
           WritePng("user:demo/stamp.png", 24, 24, Paint(24, 24, Stamp));
}

void DrawScene(TRenderer& renderer)
{
    const std::shared_ptr<TTexture> sky = TTexture::Get("user:demo/sky"); // the .jpg
    const std::shared_ptr<TTexture> leaf = TTexture::Get("user:demo/leaf.png");
    const std::shared_ptr<TTexture> flower =
        TTexture::GetWithMask("user:demo/flower.jpg", "user:demo/flower-mask");
    const std::shared_ptr<TTexture> glow = TTexture::Get("user:demo/glow.png");
    const std::shared_ptr<TTexture> band = TTexture::Get("user:demo/band.png");

    DrawState background(TVec2(kWidth / 2.0f, kHeight / 2.0f));
    background.blendMode = kBlendOpaque;
    sky->Draw(background);

    DrawState shadow(TVec2(kWidth / 2.0f, 262.0f), 1.0f, 1.0f);
    shadow.matrix.Scale(kWidth / 128.0f, 1.5f);
    shadow.blendMode = kBlendMultiplicative;
    band->Draw(shadow);

    renderer.SetBlendMode(kBlendNormal);
    for (int i = 0; i < 7; ++i) {
        const float x = 40.0f + 52.0f * i;
        const int flags = i % 2 == 0 ? 0 : DrawState::kMirrorX;
        leaf->DrawAt(x, 220.0f - 8.0f * (i % 3), 1.0f, 0.6f + 0.1f * (i % 4), 0.35f * i, flags);
    }
    DrawState tinted(TVec2(330.0f, 70.0f), 0.8f, 1.5f);
    tinted.tint = TColor(1.0f, 0.7f, 0.4f, 1.0f);
    tinted.matrix.Rotate(-0.6f);
    leaf->Draw(tinted);

    flower->DrawAt(200.0f, 120.0f, 1.0f, 1.0f, 0.0f, 0);
    flower->DrawAt(90.0f, 90.0f, 0.7f, 0.5f, 0.3f, DrawState::kMirrorY);

    DrawState spark(TVec2(0, 0));
    spark.blendMode = kBlendAdditiveAlpha;
    for (int i = 0; i < 12; ++i) {
        const float angle = i * 0.5236f;
        spark.matrix = TMat3();
        spark.matrix.ScaleUniform(0.8f + 0.2f * (i % 3));
        spark.matrix.Row(2) =
            TVec3(200.0f + 70.0f * std::cos(angle), 120.0f + 50.0f * std::sin(angle), 1.0f);
        glow->Draw(spark);
    }
}

int DrawTextures(int argc, char** argv)
{
    if (argc != 2)
        return UsageError(kHelp);
    if (!MakeOutputFolder("texturedemo", argv[1]))
        return 1;
    TPathMap::Get().SetDataFolders(argv[1], argv[1], argv[1]);
    if (!WritePictures()) {
        std::fprintf(stderr, "texturedemo: cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    TRenderer& renderer = *TRenderer::Get();
    TDxDisplayHandler& display = renderer.GetDisplayHandler();
    display.OpenBackBuffer(kWidth, kHeight);
    renderer.PushClipRect(TRect(0, 0, kWidth, kHeight));
    renderer.SetOption("new_subtractive", "1");
    renderer.SetOption("new_render_blend", "1");
    if (!renderer.BeginDraw(false) || !renderer.Begin2d()) {
        std::fprintf(stderr, "texturedemo: cannot begin a frame\n");
        return 1;
    }
    DrawScene(renderer);
    renderer.End2d();
    renderer.EndDraw(false);
    // Simple textures are blitted, outside frames.
    if (const std::shared_ptr<TTexture> stamp = TTexture::GetSimple("user:demo/stamp.png"))
        stamp->Blit(kWidth - 32, 8, nullptr, nullptr);

    const std::vector<uint32_t> frame = OpaqueFrame(*display.GetBackBuffer());
    const bool written = WritePngImage("user:frame.png", frame.data(), kWidth, kHeight, kWidth * 4);
    TRenderer::Destroy();
    if (!written) {
        std::fprintf(stderr, "texturedemo: cannot write %s/frame.png\n", argv[1]);
        return 1;
    }
    std::printf("texturedemo: %s/frame.png\n", argv[1]);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &DrawTextures);
}
