#include "engine/graphics/image/ImageFile.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/image/ImageLogLines.h"
#include "engine/graphics/image/JpegImage.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/image/TDecodedImage.h"

bool ReadImageFile(const TString& name, TDecodedImage& image, int maxSide)
{
    if (name.Find(".png") >= 0)
        return ReadPngImage(name, image, maxSide);
    if (name.Find(".jpg") >= 0)
        return ReadJpegImage(name, image, maxSide);
    image.Reset();
    TraceLog(kImageNameRefusedLog, name.CStr());
    return false;
}
