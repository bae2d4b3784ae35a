// Ogg Vorbis files through the sound loader and the player: each file is loaded for
// memory and for streaming, both sounds are played (once and looping) through the mixer
// with service turns in between, then everything is freed. A damaged file must be
// refused or played, never crash, hang or allocate without bound.
//
// An input that starts with "OggS" is the file itself. Any other input is a recipe that
// keeps the mutations inside well-formed pages: its first byte picks one of a few
// synthesised sounds, and each following group of three bytes (offset high, offset low,
// value) XORs one byte of that file.
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/platform/TAudioDevice.h"
#include "engine/platform/TAudioMixer.h"
#include "engine/platform/TPlatformLog.h"
#include "engine/platform/TTimeSource.h"
#include "engine/sound/TSound.h"
#include "engine/sound/TSoundManager.h"
#include "tools/oggsynth/synth/SoundSynth.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The output settles on a low rate, as a device may, so that each input mixes fewer frames
// for the same stretch of sound.
constexpr int kOutputRate = 8000;

const std::vector<std::string>& BaseFiles()
{
    static const std::vector<std::string> files = {
        MakeToneOgg({0.25, 22050, 1, 440.0, 0.5}),
        MakeToneOgg({0.4, 44100, 2, 660.0, 0.5}),
        MakeToneOgg({2.2, 8000, 1, 300.0, 0.5}),
    };
    return files;
}

std::string FileOf(const uint8_t* data, size_t size)
{
    if (size >= 4 && std::memcmp(data, "OggS", 4) == 0)
        return std::string(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string>& bases = BaseFiles();
    std::string file = bases[size == 0 ? 0 : data[0] % bases.size()];
    for (size_t i = 1; i + 2 < size; i += 3) {
        const size_t offset = (static_cast<size_t>(data[i]) << 8 | data[i + 1]) % file.size();
        file[offset] = static_cast<char>(file[offset] ^ data[i + 2]);
    }
    return file;
}

void Play(TSoundManager& manager, TManualTimeSource& time, const std::shared_ptr<TSound>& sound)
{
    if (!sound)
        return;
    sound->Play(false);
    sound->Play(true);
    // 0.6 s of output and a service turn, eight times: enough for every ring to wrap.
    constexpr int kFrames = kOutputRate * 6 / 10;
    std::vector<int16_t> out(kFrames * 2);
    for (int turn = 0; turn < 8; ++turn) {
        manager.GetMixer()->MixInto(out.data(), kFrames);
        time.Advance(600);
        manager.Update();
        manager.DispatchNotifications();
    }
    sound->StopAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TPlatformLog::SetSink([](const char*) {});
    const std::string file = FileOf(data, size);
    TPathMap::Get().Reset();
    RegisterMemoryFile("fuzz.ogg", file.data(), file.size());
    {
        TManualTimeSource time(1000);
        TSoundManager manager([] { return std::make_unique<TManualAudioDevice>(kOutputRate); },
                              false);
        manager.Init();
        TAssetManager cache;
        for (bool inMemory : {true, false})
            Play(manager, time, TSound::Get(&cache, "fuzz.ogg", inMemory, 1000));
    }
    RegisterMemoryFile("fuzz.ogg", nullptr, 0);
    TPlatformLog::SetSink(nullptr);
    return 0;
}
