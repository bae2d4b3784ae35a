#pragma once

// JPEG files through libjpeg (the 6b interface), read and written with the engine's file
// functions. libjpeg is used only in this codec. Errors never end the process: the
// library's fatal errors come back here as a failed call with a log line, and its
// warnings go to the debug log (the first one of each call).

#include "engine/foundation/core/TString.h"
#include "engine/graphics/image/TDecodedImage.h"

#include <cstdint>

// Decodes the baseline or progressive JPEG file at path into image (see TDecodedImage);
// alpha is 255 inside the picture and image.HasAlpha() is false. A file cut short is
// completed (one warning in the log) and succeeds. False, with a log line and an empty
// image, when the file is missing or empty, damaged beyond that, needs more than 16 MiB
// of decoder memory, or has a side above maxSide (at most TDecodedImage::kMaxSide): the
// size is checked from the header, before anything is decoded.
bool ReadJpegImage(const TString& path, TDecodedImage& image,
                   int maxSide = TDecodedImage::kMaxSide);

// Writes width x height engine pixels (the alpha byte is ignored) as a baseline JPEG;
// row y starts stride bytes after row y - 1. quality is a fraction: 0.755 gives the
// library's quality 75 (cut toward zero; values outside 0..1 are clamped). False, with
// a log line, when the file cannot be written.
bool WriteJpegImage(const TString& path, float quality, int width, int height, int stride,
                    const uint32_t* pixels);
