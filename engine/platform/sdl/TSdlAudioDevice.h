#pragma once

#include "engine/platform/TAudioDevice.h"

#include <SDL.h>

// The sound output on SDL2's audio subsystem: SDL's audio thread calls the fill function
// with the device's period of frames. The format is always 16-bit stereo in the machine's
// byte order (SDL converts for the hardware); only the rate may differ from the one
// asked for.
class TSdlAudioDevice final : public TAudioDevice
{
public:
    // Starts SDL's audio subsystem; null with a log line when SDL has no working driver
    // (SDL_AUDIODRIVER names the driver to use).
    static std::unique_ptr<TSdlAudioDevice> Start();
    ~TSdlAudioDevice() override;

    bool Open(int sampleRate, int periodFrames, TFill fill) override;
    int GetSampleRate() const override { return mSampleRate; }
    void SetPaused(bool paused) override;
    void Close() override;

private:
    TSdlAudioDevice() = default;

    static void SDLCALL OnAudio(void* self, Uint8* stream, int bytes);

    SDL_AudioDeviceID mDevice = 0;
    int mSampleRate = 0;
    TFill mFill;
};
