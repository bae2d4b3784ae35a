#include "engine/foundation/app/TWindowIcon.h"

#include <cmath>

namespace {

constexpr uint32_t kTransparent = 0x00000000;
constexpr uint32_t kDisc = 0xff2a9d8f;
constexpr uint32_t kRim = 0xff1d6f66;
constexpr uint32_t kLeaf = 0xfff4f1de;
constexpr uint32_t kVein = 0xff8ab17d;

uint32_t PixelAt(float x, float y)
{
    const float centre = TWindowIcon::kSize / 2.0f;
    const float dx = x - centre;
    const float dy = y - centre;
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance > centre - 0.5f)
        return kTransparent;
    // The leaf: an ellipse along the rising diagonal, with its middle vein.
    const float along = (dx - dy) * 0.70710678f;
    const float across = (dx + dy) * 0.70710678f;
    const float leaf = (along / 10.0f) * (along / 10.0f) + (across / 5.0f) * (across / 5.0f);
    if (leaf <= 1.0f)
        return std::fabs(across) < 0.45f && std::fabs(along) < 8.5f ? kVein : kLeaf;
    return distance > centre - 2.0f ? kRim : kDisc;
}

} // namespace

const std::vector<uint32_t>& TWindowIcon::GetPixels()
{
    static const std::vector<uint32_t> pixels = [] {
        std::vector<uint32_t> icon(kSize * kSize);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x)
                icon[y * kSize + x] = PixelAt(x + 0.5f, y + 0.5f);
        }
        return icon;
    }();
    return pixels;
}
