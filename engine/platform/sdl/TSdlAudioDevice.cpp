#include "engine/platform/sdl/TSdlAudioDevice.h"

#include "engine/platform/TPlatformLog.h"

std::unique_ptr<TSdlAudioDevice> TSdlAudioDevice::Start()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        TPlatformLog::Write("sound: cannot start SDL audio: %s", SDL_GetError());
        return nullptr;
    }
    return std::unique_ptr<TSdlAudioDevice>(new TSdlAudioDevice());
}

TSdlAudioDevice::~TSdlAudioDevice()
{
    Close();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TSdlAudioDevice::Open(int sampleRate, int periodFrames, TFill fill)
{
    Close();
    // Set before SDL can call back; the device starts paused, so nothing runs yet.
    mFill = std::move(fill);
    SDL_AudioSpec want{};
    want.freq = sampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(periodFrames);
    want.callback = &TSdlAudioDevice::OnAudio;
    want.userdata = this;
    SDL_AudioSpec have{};
    mDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (mDevice == 0) {
        TPlatformLog::Write("sound: cannot open the audio device: %s", SDL_GetError());
        mFill = nullptr;
        return false;
    }
    mSampleRate = have.freq;
    return true;
}

void TSdlAudioDevice::SetPaused(bool paused)
{
    if (mDevice != 0)
        SDL_PauseAudioDevice(mDevice, paused ? 1 : 0);
}

void TSdlAudioDevice::Close()
{
    if (mDevice == 0)
        return;
    // SDL waits for a running callback before the device goes.
    SDL_CloseAudioDevice(mDevice);
    mDevice = 0;
    mSampleRate = 0;
    mFill = nullptr;
}

void SDLCALL TSdlAudioDevice::OnAudio(void* self, Uint8* stream, int bytes)
{
    auto* device = static_cast<TSdlAudioDevice*>(self);
    device->mFill(reinterpret_cast<int16_t*>(stream), bytes / 4);
}
