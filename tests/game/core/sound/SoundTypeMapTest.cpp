#include "game/core/sound/SoundTypeMap.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundTypeMapTest, EachSoundCategoryHasItsVolumeGroup)
{
    struct TCase
    {
        const char* name;
        int group;
    };
    const TCase cases[] = {
        {"sfx_type", 1000}, {"music_type", 1001}, {"SFX_TYPE", -1}, {"voice_type", -1}, {"", -1}};
    for (const TCase& test : cases)
        EXPECT_EQ(YOLT::Core::SoundTypeMap::Instance().GetGroup(test.name), test.group)
            << test.name;
}

} // namespace
