#include "engine/sound/SoundInstall.h"

#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/sound/TSoundManager.h"
#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

namespace {

using SoundInstallTest = EngineStateTest;

TEST_F(SoundInstallTest, TheEngineMakesOurSoundManager)
{
    EXPECT_EQ(TEngineSeams::CreateSoundManager(), nullptr);
    InstallSound();
    std::unique_ptr<TSoundManagerSeam> made = TEngineSeams::CreateSoundManager();
    EXPECT_NE(dynamic_cast<TSoundManager*>(made.get()), nullptr);
    EXPECT_EQ(TSoundManager::Get(), made.get());
    made.reset();
}

} // namespace
