// The preferences reader (TPrefs::LoadFromBytes) over arbitrary file images, with the
// game's key and without one. Whatever loads must survive a save and a reload unchanged.
// Seeds: fuzz/corpus/prefs/, written by the prefs-seeds tool.
#include "engine/foundation/prefs/TPrefs.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(const char* key, const uint8_t* data, size_t size)
{
    TPrefs prefs(false, key, "velmora");
    prefs.LoadFromBytes(data, size);
    (void)prefs.GetUserCount();
    (void)prefs.GetString("currentuser", "", -1);
    (void)prefs.GetBinary("userdata", nullptr, 0, 0);

    std::vector<uint8_t> image = prefs.BuildFileImage();
    TPrefs reloaded(false, key, "velmora");
    if (!reloaded.LoadFromBytes(image.data(), image.size()) || reloaded.BuildFileImage() != image)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Check("tqzrwvxkMJHP", data, size);
    Check("", data, size);
    return 0;
}
