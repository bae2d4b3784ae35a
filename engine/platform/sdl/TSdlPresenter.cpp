#include "engine/platform/sdl/TSdlPresenter.h"

void TSdlPresenter::SetPointerImage(const uint32_t* pixels, int width, int height)
{
    mPointerPixels.clear();
    if (pixels != nullptr && width > 0 && height > 0) {
        mPointerPixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
        mPointerWidth = width;
        mPointerHeight = height;
    }
    OnPointerImage();
}
