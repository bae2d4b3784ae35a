// Writes the seed corpora of the image fuzz targets: small PNG files of every colour type
// and depth the format has (with and without transparency, gamma and interlace) and
// JPEG files of each kind the reader meets (baseline, progressive, grey, restart
// markers), all made by libpng and libjpeg from pictures computed here.
// usage: image-seeds PNGFOLDER JPEGFOLDER   (fuzz/corpus/png_image, fuzz/corpus/jpeg_image)
#include "tests/engine/graphics/image/JpegEncoder.h"
#include "tests/engine/graphics/image/PngEncoder.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const TToolHelp kHelp{
    "image-seeds", "PNGFOLDER JPEGFOLDER",
    "Writes the seed files of the PNG and JPEG fuzz targets, made by libpng and libjpeg.",
    "  PNGFOLDER           where the PNG seeds go (fuzz/corpus/png_image); made when missing\n"
    "  JPEGFOLDER          where the JPEG seeds go (fuzz/corpus/jpeg_image); made when "
    "missing\n"};

constexpr int kSide = 8;

bool WriteSeed(const std::string& folder, const std::string& name, const std::string& bytes)
{
    const std::string path = folder + "/" + name;
    if (bytes.empty()) {
        std::fprintf(stderr, "image-seeds: cannot encode %s\n", path.c_str());
        return false;
    }
    return WriteOutputFile("image-seeds", path, bytes);
}

// A kSide x kSide picture of the format, its samples a simple ramp.
TPngSpec PngSpec(int bitDepth, int colorType)
{
    TPngSpec spec;
    spec.width = kSide;
    spec.height = kSide;
    spec.bitDepth = bitDepth;
    spec.colorType = colorType;
    spec.rows.resize(spec.RowBytes() * kSide);
    for (size_t i = 0; i < spec.rows.size(); ++i)
        spec.rows[i] = uint8_t(i * 37);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < (1 << bitDepth); ++i)
            spec.palette.push_back({uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 3)});
    }
    return spec;
}

bool WritePngSeeds(const std::string& folder)
{
    struct TFormat
    {
        int colorType;
        std::vector<int> depths;
    } formats[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
                   {PNG_COLOR_TYPE_RGB, {8, 16}},
                   {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
                   {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
                   {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}}};
    bool ok = true;
    for (const TFormat& format : formats)
        for (int depth : format.depths) {
            const std::string name =
                "type" + std::to_string(format.colorType) + "-" + std::to_string(depth);
            ok &= WriteSeed(folder, name + ".png", EncodePng(PngSpec(depth, format.colorType)));
        }
    TPngSpec paletteAlpha = PngSpec(8, PNG_COLOR_TYPE_PALETTE);
    paletteAlpha.paletteAlpha = {0, 64, 128};
    ok &= WriteSeed(folder, "palette-trns.png", EncodePng(paletteAlpha));
    TPngSpec rgbKey = PngSpec(16, PNG_COLOR_TYPE_RGB);
    rgbKey.transparent = png_color_16{0, 100, 200, 300, 0};
    ok &= WriteSeed(folder, "rgb16-trns.png", EncodePng(rgbKey));
    TPngSpec greyGamma = PngSpec(8, PNG_COLOR_TYPE_GRAY);
    greyGamma.gamma = 1.0;
    ok &= WriteSeed(folder, "grey-gamma.png", EncodePng(greyGamma));
    TPngSpec interlaced = PngSpec(8, PNG_COLOR_TYPE_RGB_ALPHA);
    interlaced.interlaced = true;
    ok &= WriteSeed(folder, "rgba-interlaced.png", EncodePng(interlaced));
    return ok;
}

bool WriteJpegSeeds(const std::string& folder)
{
    std::vector<uint32_t> pixels(16 * 16);
    for (int i = 0; i < 16 * 16; ++i)
        pixels[i] = 0xff000000u | (uint32_t(i * 997) & 0xffffff);
    TJpegSpec baseline{16, 16};
    TJpegSpec progressive{16, 16};
    progressive.progressive = true;
    TJpegSpec grey{16, 16};
    grey.grey = true;
    TJpegSpec restarts{16, 16};
    restarts.restartRows = 1;
    TJpegSpec rough{16, 16};
    rough.quality = 20;
    bool ok = WriteSeed(folder, "baseline.jpg", EncodeJpeg(baseline, pixels));
    ok &= WriteSeed(folder, "progressive.jpg", EncodeJpeg(progressive, pixels));
    ok &= WriteSeed(folder, "grey.jpg", EncodeJpeg(grey, pixels));
    ok &= WriteSeed(folder, "restarts.jpg", EncodeJpeg(restarts, pixels));
    ok &= WriteSeed(folder, "quality20.jpg", EncodeJpeg(rough, pixels));
    return ok;
}

int WriteSeeds(int argc, char** argv)
{
    if (argc != 3)
        return UsageError(kHelp);
    if (!MakeOutputFolder("image-seeds", argv[1]) || !MakeOutputFolder("image-seeds", argv[2]))
        return 1;
    const bool pngWritten = WritePngSeeds(argv[1]);
    const bool jpegWritten = WriteJpegSeeds(argv[2]);
    return pngWritten && jpegWritten ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &WriteSeeds);
}
