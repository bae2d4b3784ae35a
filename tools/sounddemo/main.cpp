// sounddemo: plays two synthesised sounds through the engine's sound manager on the
// system's audio output, one after the other: a short effect decoded whole, then a longer
// piece decoded while it plays, in a group at volume 0.9. It prints the output rate and
// what it plays. With SDL_AUDIODRIVER=disk (and SDL_DISKAUDIOFILE=<file>) the output is
// written to a file of raw 16-bit stereo frames instead, which a test checks.
// usage: sounddemo
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/platform/TAudioMixer.h"
#include "engine/sound/TSound.h"
#include "engine/sound/TSoundInstance.h"
#include "engine/sound/TSoundManager.h"
#include "tools/oggsynth/synth/SoundSynth.h"
#include "tools/support/ToolMain.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

namespace {

const TToolHelp kHelp{"sounddemo", "",
                      "Plays two synthesised sounds through the engine's sound manager (with "
                      "SDL_AUDIODRIVER=disk into SDL_DISKAUDIOFILE instead).",
                      ""};

struct TPiece
{
    const char* name;
    TToneSpec tone;
    bool inMemory;
    int group;
    float groupVolume;
};

const TPiece kPieces[] = {
    {"demo/effect.ogg", {0.4, 22050, 1, 660.0, 0.5}, true, 1000, 1.0f},
    {"demo/music.ogg", {2.5, 44100, 2, 440.0, 0.4}, false, 1001, 0.9f},
};

// Plays piece to its end, handing finished streams back as the game's idle turns do.
bool PlayToEnd(TSoundManager& manager, TAssetManager& cache, const TPiece& piece)
{
    std::shared_ptr<TSound> sound = TSound::Get(&cache, piece.name, piece.inMemory, piece.group);
    if (!sound)
        return false;
    manager.SetGroupVolume(piece.group, piece.groupVolume);
    std::weak_ptr<TSoundInstance> playing = sound->Play(false);
    std::printf("play %s %.2f s %.0f Hz amplitude %.2f volume %.2f\n", piece.name,
                piece.tone.seconds, piece.tone.frequency, piece.tone.amplitude, piece.groupVolume);
    std::fflush(stdout);
    while (!playing.expired()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        manager.DispatchNotifications();
    }
    return true;
}

int PlaySounds(int argc, char**)
{
    if (argc != 1)
        return UsageError(kHelp);
    std::string files[std::size(kPieces)];
    for (size_t i = 0; i < std::size(kPieces); ++i) {
        files[i] = MakeToneOgg(kPieces[i].tone);
        RegisterMemoryFile(kPieces[i].name, files[i].data(), files[i].size());
    }
    TSoundManager manager;
    if (!manager.Init()) {
        std::fprintf(stderr, "sounddemo: no sound output\n");
        return 1;
    }
    std::printf("rate %d\n", manager.GetMixer()->GetOutputRate());
    TAssetManager cache;
    for (const TPiece& piece : kPieces) {
        if (!PlayToEnd(manager, cache, piece)) {
            std::fprintf(stderr, "sounddemo: cannot load %s\n", piece.name);
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &PlaySounds);
}
