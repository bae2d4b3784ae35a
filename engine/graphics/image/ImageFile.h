#pragma once

// Image files by name: the reader is chosen by the name, not by the bytes.

#include "engine/foundation/core/TString.h"
#include "engine/graphics/image/TDecodedImage.h"

// Decodes the file name into image: with the PNG reader when the name contains ".png",
// else with the JPEG reader when it contains ".jpg" (case-sensitive, anywhere in the
// name). False, with a log line, for any other name and whenever the reader fails; a
// side above maxSide is refused from the file's header, before anything is decoded.
bool ReadImageFile(const TString& name, TDecodedImage& image,
                   int maxSide = TDecodedImage::kMaxSide);
