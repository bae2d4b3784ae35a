// textdemo: lays out and draws sample text with the engine's vector fonts on the
// software device, for a person to look at: several sizes, markup (bold, italic,
// underline, outline, colours, a hovered link, a caret, tabs, alignment), wrapping, a
// rotated line, and text rendered into a texture in blend mode. Writes FOLDER/screen.png
// (the back buffer) and FOLDER/texture.png (the texture).
// Fonts: the built-in one, and the ".mvec" files of FONTFOLDER when given, known as
// "fonts/<file name>" (the build makes them in build/<kind>/assets/fonts).
// usage: textdemo FOLDER [FONTFOLDER]
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/text/TTextLayout.h"
#include "engine/graphics/vector/THvMiniVecDraw.h"
#include "tools/support/InputLimits.h"
#include "tools/support/OpaqueFrame.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"

#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

const TToolHelp kHelp{
    "textdemo", "FOLDER [FONTFOLDER]",
    "Draws sample text (sizes, markup, colours, wrapping) into FOLDER/screen.png and, blended "
    "into a texture, FOLDER/texture.png.",
    "  FOLDER              where the pictures go; made when missing\n"
    "  FONTFOLDER          \".mvec\" fonts, known as fonts/<file name> (the build makes\n"
    "                      them in build/<kind>/assets/fonts); else the built-in font\n"};

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// The font files' bytes, where the memory files registered under "fonts/" point: a deque
// never moves what it holds.
std::deque<std::string> sFontFiles;

// Registers every ".mvec" file of folder as "fonts/<file name>"; false when one of them
// cannot be read (said on the standard error stream).
bool RegisterFonts(const std::filesystem::path& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".mvec")
            continue;
        std::string bytes;
        if (!ReadInputFile("textdemo", entry.path().string(), kMaxVectorFontBytes, bytes))
            return false;
        sFontFiles.push_back(std::move(bytes));
        const std::string name = "fonts/" + entry.path().filename().string();
        RegisterMemoryFile(name.c_str(), sFontFiles.back().data(), sFontFiles.back().size());
    }
    if (error) {
        std::fprintf(stderr, "textdemo: cannot read folder %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return false;
    }
    return true;
}

void Draw(const char* text, int x, int y, int width, int height, int flags, const char* font,
          unsigned int size, const TColor& colour, const char* hover = nullptr)
{
    std::unique_ptr<TTextLayout> layout(
        CreateTextLayout(text, width, height, flags, font, size, colour));
    if (hover != nullptr) {
        layout->UpdateHoverLink(nullptr, 0);
        for (int py = 0; py < height; py += 2)
            for (int px = 0; px < width; px += 2) {
                const TVec2 point(static_cast<float>(px), static_cast<float>(py));
                if (layout->GetLinkAt(point, 0) == TString(hover)) {
                    layout->UpdateHoverLink(&point, 0);
                    py = height;
                    break;
                }
            }
    }
    layout->DrawInRect(TRect(x, y, x + width, y + height), 1.0f, 0, 1.0f);
}

void DrawScene(TRenderer& renderer)
{
    renderer.FillRect(TRect(0, 0, kWidth, kHeight), TColor(0.96f, 0.94f, 0.88f, 1));
    renderer.FillRect(TRect(420, 300, 790, 590), TColor(0.16f, 0.22f, 0.30f, 1));
    const TColor ink(0.15f, 0.12f, 0.10f, 1);
    Draw("<outline color=\"#ffffff\" size=\"3\"><font color=\"#2a6f97\">Velmora Spa · Ça Ⅷ</font>"
         "</outline>",
         10, 4, 500, 60, 0, "fonts/arial_rounded.mvec", 48, ink);
    int y = 64;
    for (const unsigned int size : {9u, 10u, 12u, 14u, 16u, 20u, 24u, 32u}) {
        const TString line =
            TString::Printf("%u px: Ça coûte 5,00 € «ok» ™ — The quick brown fox jumps", size);
        Draw(line.CStr(), 10, y, 790, size * 2, 0, "fonts/default.mvec", size, ink);
        y += static_cast<int>(size) + 6;
    }
    Draw("A paragraph with <b>bold</b>, <i>italic</i>, <u>underlined</u> and "
         "<b><i>bold italic</i></b> words, <font color=\"#c0392b\">red</font>, "
         "<font color=\"#27ae6080\">half-transparent green</font>, "
         "<outline color=\"#f1c40f\">an outline</outline> and a "
         "<a id=\"spa\" color=\"#2980b9\">hovered link</a>. It wraps at spaces inside "
         "its box of 380 pixels, even with <font size=\"22\">bigger</font> words.<br>"
         "Name:<tab pos='90'>Amelia<br>Guests:<tab pos='90'>12<cursor>",
         10, 300, 380, 200, 0, "fonts/default.mvec", 16, ink, "spa");
    Draw("<center>Centred lines,</center><right>one on the right,</right>and back to the "
         "left.<br><font face=\"fonts/arial.mvec\">Condensed face for numbers: "
         "0123456789</font>",
         10, 470, 380, 120, 0, "fonts/default.mvec", 15, ink);
    Draw("<font color=\"#ecf0f1\">Light text on a dark panel, aligned to the right of its "
         "box, <b>with bold</b> and wrapping onto a second line.</font>",
         430, 310, 350, 100, TTextLayout::kRight, "fonts/default.mvec", 18, ink);

    std::unique_ptr<TTextLayout> rotated(
        CreateTextLayout("<font color=\"#e67e22\">Rotated by 20 degrees</font>", 300, 40, 0,
                         "fonts/default.mvec", 20, ink));
    rotated->SetRotation(-20.0f, 0, 0);
    rotated->DrawInRect(TRect(440, 470, 740, 510), 1.0f, 0, 1.0f);
}

// Text drawn into a transparent texture in blend mode.
std::shared_ptr<TTexture> RenderIntoTexture()
{
    std::shared_ptr<TTexture> texture = TTexture::Create(320, 80, true);
    std::unique_ptr<TTextLayout> layout(CreateTextLayout(
        "<outline color=\"#000000\"><font color=\"#ffffff\">Text in a texture</font>"
        "</outline><br><font color=\"#f1c40f\" size=\"18\">blended onto transparency</font>",
        320, 80, TTextLayout::kCenter, "fonts/default.mvec", 28, TColor(1, 1, 1, 1)));
    layout->SetBlendMode();
    layout->DrawInRect(TRect(0, 0, 320, 80), 1.0f, 0, 1.0f, texture);
    return texture;
}

int DrawText(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
        return UsageError(kHelp);
    if ((argc == 3 && !RegisterFonts(argv[2])) || !MakeOutputFolder("textdemo", argv[1]))
        return 1;
    TPathMap::Get().SetDataFolders(argv[1], argv[1], argv[1]);
    TRenderer& renderer = *TRenderer::Get();
    TDxDisplayHandler& display = renderer.GetDisplayHandler();
    display.OpenBackBuffer(kWidth, kHeight);
    renderer.PushClipRect(TRect(0, 0, kWidth, kHeight));
    THvMiniVecDraw::Get().CalibrateSpanOffsets();
    const std::shared_ptr<TTexture> texture = RenderIntoTexture();
    if (!renderer.BeginDraw(false) || !renderer.Begin2d()) {
        std::fprintf(stderr, "textdemo: cannot begin a frame\n");
        return 1;
    }
    DrawScene(renderer);
    renderer.End2d();
    renderer.EndDraw(false);

    const std::vector<uint32_t> frame = OpaqueFrame(*display.GetBackBuffer());
    bool written = WritePngImage("user:screen.png", frame.data(), kWidth, kHeight, kWidth * 4);
    written = written && texture->Save("user:texture.png", 1.0f);
    THvMiniVecDraw::Destroy();
    FontCache::Clear();
    TRenderer::Destroy();
    if (!written) {
        std::fprintf(stderr, "textdemo: cannot write into %s\n", argv[1]);
        return 1;
    }
    std::printf("textdemo: %s/screen.png, %s/texture.png\n", argv[1], argv[1]);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &DrawText);
}
