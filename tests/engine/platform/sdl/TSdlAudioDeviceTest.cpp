#include "engine/platform/sdl/TSdlAudioDevice.h"

#include "tests/engine/platform/TScopedEnvironment.h"
#include "tests/engine/platform/WaitUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

TEST(TSdlAudioDevice, CallsFillOnlyWhileOpenAndUnpaused)
{
    TScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
    std::unique_ptr<TAudioDevice> device = TAudioDevice::Create();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->GetSampleRate(), 0);
    std::atomic<int> calls{0};
    std::atomic<int> lastCount{0};
    ASSERT_TRUE(device->Open(44100, 1024, [&](int16_t* frames, int count) {
        for (int i = 0; i < count * 2; ++i)
            frames[i] = 0;
        lastCount = count;
        ++calls;
    }));
    EXPECT_GT(device->GetSampleRate(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(calls.load(), 0); // opened paused
    device->SetPaused(false);
    ASSERT_TRUE(WaitUntil([&] { return calls.load() >= 2; }));
    EXPECT_EQ(lastCount.load(), 1024);
    device->Close();
    const int afterClose = calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(calls.load(), afterClose);
    EXPECT_EQ(device->GetSampleRate(), 0);
    device->Close(); // safe twice
}

TEST(TSdlAudioDevice, NoDeviceWhenTheDriverDoesNotExist)
{
    TScopedEnvironment driver("SDL_AUDIODRIVER", "nonexistent");
    EXPECT_EQ(TAudioDevice::Create(), nullptr);
}

} // namespace
