#pragma once

// PNG files through libpng, read and written with the engine's file functions (so
// packages and memory files work like disk files). libpng is used only here.
//
// Reading converts every PNG the format allows (palette, grey, 1 to 16 bits,
// transparency chunk, interlace) into engine pixels: 16-bit channels are cut to 8,
// palettes and low depths expanded, grey becomes three equal bytes, pixels without
// alpha get 255, and a file with a gAMA chunk is corrected for a display gamma of 2.2.
// Main thread or any one thread at a time per call: each call keeps its own state.

#include "engine/foundation/core/TString.h"
#include "engine/graphics/image/TDecodedImage.h"

#include <cstdint>

// Decodes the PNG file at path into image (see TDecodedImage for the buffer's shape).
// image.HasAlpha() answers whether the file's colour type carries alpha; a palette with
// a transparency chunk counts, a truecolour or grey picture with one does not (its
// pixels still get their alpha from it). False, with a log line and an empty image,
// when the file is missing, is no PNG, is damaged or has a side above maxSide (at most
// TDecodedImage::kMaxSide): the size is checked from the header, before anything is
// decoded or allocated for the pixels.
bool ReadPngImage(const TString& path, TDecodedImage& image, int maxSide = TDecodedImage::kMaxSide);

// Writes width x height engine pixels as an 8-bit RGBA PNG; row y starts stride bytes
// after row y - 1. False, with a log line, when the file cannot be written.
bool WritePngImage(const TString& path, const uint32_t* pixels, int width, int height, int stride);
