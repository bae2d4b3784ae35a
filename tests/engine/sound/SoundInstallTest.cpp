#include "engine/sound/SoundInstall.h"

#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/sound/TSoundManager.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundInstall, TheEngineMakesOurSoundManager)
{
    TEngineSeams::TFactories saved = TEngineSeams::Factories();
    TEngineSeams::Factories().soundManager = nullptr;
    EXPECT_EQ(TEngineSeams::CreateSoundManager(), nullptr);
    InstallSound();
    std::unique_ptr<TSoundManagerSeam> made = TEngineSeams::CreateSoundManager();
    EXPECT_NE(dynamic_cast<TSoundManager*>(made.get()), nullptr);
    EXPECT_EQ(TSoundManager::Get(), made.get());
    made.reset();
    TEngineSeams::Factories() = saved;
    TAssetMap::RegisterLoader("ogg", nullptr);
}

} // namespace
