#include "engine/foundation/host/TMsnZylomHandler.h"

#include "engine/foundation/core/LittleEndian.h"
#include "engine/foundation/core/TClock.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/THostTransport.h"
#include "engine/foundation/seams/TMasterVolume.h"
#include "engine/platform/TTimeSource.h"

#include <cstdlib>
#include <cstring>

namespace {

struct TBridge
{
    bool msnMode = false;
    bool zylomMode = false;
    bool pqSwitch = false;
    bool handlerInstalled = false;
    bool sessionReadySent = false;
    bool jumpToMenuRequest = false;
    bool restartRequest = false;
    bool firstGame = true;
    bool hostSoundOff = false;
    bool gameMute = false;
    bool appliedMute = false;
    float savedVolume = 0.0f;
    bool hostPaused = false;
    uint32_t pauseStartTick = 0;
    int hostPausedTotal = 0;
    bool gameRunning = false;
    bool gamePaused = false;
    int breakpoint = 0;
    uint32_t lastScoreBroadcast = 0;
    int commercialInterval = -1;
    TClock playClock; // time of the current game
    std::unique_ptr<THostTransport> transport;
    THostBridgeHooks hooks;
    TString answer;

    bool Active() const { return msnMode || zylomMode; }
    static uint32_t Now() { return TTimeSource::Now(); }
};

TBridge& Bridge()
{
    static TBridge bridge;
    return bridge;
}

constexpr uint32_t kScoreThrottleMs = 5000;
constexpr size_t kComIntervalSkip = 14; // "-com_interval" and one separator

bool IsSet(const char* value)
{
    return std::atoi(value) != 0;
}

void PauseCursor(bool paused)
{
    if (Bridge().hooks.pauseCursor)
        Bridge().hooks.pauseCursor(paused);
}

void UpdateHostMute()
{
    TBridge& b = Bridge();
    bool silence = b.hostSoundOff || b.gamePaused || b.hostPaused || b.gameMute ||
                   (b.msnMode && !b.gameRunning);
    if (silence && !b.appliedMute) {
        b.savedVolume = TMasterVolume::Read();
        TMasterVolume::Write(0.0f);
        b.appliedMute = true;
    } else if (!silence && b.appliedMute) {
        TMasterVolume::Write(b.savedVolume);
        b.savedVolume = 0.0f;
        b.appliedMute = false;
    }
}

void HostPause()
{
    TBridge& b = Bridge();
    if (b.hostPaused)
        return;
    b.hostPaused = true;
    b.pauseStartTick = b.Now();
    if (!b.gamePaused) {
        b.playClock.Pause();
        PauseCursor(true);
    }
}

void HostResume()
{
    TBridge& b = Bridge();
    if (!b.hostPaused)
        return;
    b.hostPaused = false;
    b.hostPausedTotal += int(b.Now() - b.pauseStartTick);
    b.pauseStartTick = 0;
    if (!b.gamePaused) {
        b.playClock.Start();
        PauseCursor(false);
    }
}

void PostPieces(THostTransport& transport, const char* text)
{
    uint8_t piece[8] = {};
    size_t filled = 0;
    for (size_t i = 0;; ++i) {
        piece[filled++] = uint8_t(text[i]);
        bool end = text[i] == 0;
        if (filled == 8 || end) {
            transport.PostPiece(ReadLE32(piece), ReadLE32(piece + 4));
            filled = 0;
        }
        if (end)
            return;
    }
}

// Posts Name("payload") to the host; a message marked pause-after leaves the game waiting
// for the host's resume (MSN mode only).
void PostHostMessage(const TString& text, bool pauseAfter)
{
    TBridge& b = Bridge();
    if (b.pqSwitch) {
        b.gameRunning = true;
        return;
    }
    if (b.zylomMode)
        pauseAfter = false;
    if (b.transport)
        PostPieces(*b.transport, text.CStr());
    if (pauseAfter)
        HostPause();
    UpdateHostMute();
    if (b.transport)
        b.transport->MessageDone(text.CStr(), b.hostPaused);
}

TString HostMessage(const char* name, const TString& payload)
{
    return TString::Printf("%s(\"%s\")", name, payload.CStr());
}

void SendSessionReady()
{
    TBridge& b = Bridge();
    if (b.sessionReadySent)
        return;
    b.sessionReadySent = true;
    PostHostMessage(HostMessage("SessionReady", "<data></data>"), true);
}

void SendGameReady(const char* mode)
{
    PostHostMessage(HostMessage("GameReady", TString::Printf("<data><mode>%s</mode></data>", mode)),
                    true);
}

void SendScoreBroadcast(long score)
{
    TBridge& b = Bridge();
    if (!b.gameRunning)
        return;
    uint32_t now = b.Now();
    if (now - b.lastScoreBroadcast < kScoreThrottleMs)
        return;
    b.lastScoreBroadcast = now;
    long seconds = b.playClock.GetTime() / 1000;
    TString payload =
        TString::Printf("<game><score>%ld</score><time>%ld</time></game>", score, seconds);
    PostHostMessage(HostMessage("ScoreBroadcast", payload), false);
}

void SendGameBreak()
{
    TBridge& b = Bridge();
    ++b.breakpoint;
    TString payload = TString::Printf("<data><breakpoint>%d</breakpoint></data>", b.breakpoint);
    PostHostMessage(HostMessage("GameBreak", payload), true);
}

void SendGameEnd()
{
    Bridge().gameRunning = false;
    PostHostMessage(HostMessage("GameEnd", "<gamedata></gamedata>"), true);
}

void SetHostGamePause(bool paused)
{
    TBridge& b = Bridge();
    if (paused == b.gamePaused)
        return;
    b.gamePaused = paused;
    if (!b.hostPaused) {
        if (paused)
            b.playClock.Pause();
        else
            b.playClock.Start();
        if (b.zylomMode)
            PostHostMessage(
                HostMessage("GamePause", paused ? "<data>true</data>" : "<data>false</data>"),
                true);
    }
    UpdateHostMute();
}

void SetHostGameMute(bool mute)
{
    Bridge().gameMute = mute;
    UpdateHostMute();
}

// "-com_interval N" in the command line; -1 when the switch or its value is missing.
int ReadCommercialInterval(const char* commandLine)
{
    const char* found = std::strstr(commandLine, "-com_interval");
    if (found == nullptr)
        return -1;
    size_t rest = std::strlen(found);
    if (rest <= kComIntervalSkip)
        return -1;
    return std::atoi(found + kComIntervalSkip);
}

void StartNewGame()
{
    TBridge& b = Bridge();
    b.gameRunning = true;
    b.lastScoreBroadcast = 0;
    b.gamePaused = false;
    HostResume();
    b.playClock.Stop();
    b.playClock.Start();
    b.breakpoint = 0;
    if (b.firstGame)
        b.firstGame = false;
    else
        b.restartRequest = true;
}

} // namespace

void TMsnZylomHandler::InstallMsnHandler(std::unique_ptr<THostTransport> transport, bool pqSwitch)
{
    Bridge().msnMode = true;
    Bridge().pqSwitch = Bridge().pqSwitch || pqSwitch;
    Install(std::move(transport));
}

void TMsnZylomHandler::InstallZylomHandler(std::unique_ptr<THostTransport> transport)
{
    Bridge().zylomMode = true;
    Install(std::move(transport));
}

void TMsnZylomHandler::Install(std::unique_ptr<THostTransport> transport)
{
    TBridge& b = Bridge();
    if (transport)
        b.transport = std::move(transport);
    TGameState::Get();
    if (b.handlerInstalled)
        return;
    b.handlerInstalled = true;
    TGameState::AddHandler(std::unique_ptr<TGameStateHandler>(new TMsnZylomHandler()));
}

void TMsnZylomHandler::SetHooks(THostBridgeHooks hooks)
{
    Bridge().hooks = std::move(hooks);
}

void TMsnZylomHandler::Uninstall()
{
    bool installed = Bridge().handlerInstalled;
    THostBridgeHooks hooks = std::move(Bridge().hooks);
    Bridge() = TBridge();
    Bridge().handlerInstalled = installed;
    Bridge().hooks = std::move(hooks);
}

TMsnZylomHandler::~TMsnZylomHandler()
{
    Bridge().handlerInstalled = false;
}

bool TMsnZylomHandler::IsMsnHost()
{
    return Bridge().msnMode;
}

bool TMsnZylomHandler::IsZylomHost()
{
    return Bridge().zylomMode;
}

void TMsnZylomHandler::HandleHostRequest(int code)
{
    TBridge& b = Bridge();
    if (!b.Active())
        return;
    switch (code) {
    case 1:
        b.jumpToMenuRequest = true;
        break;
    case 2:
        b.hostSoundOff = true;
        break;
    case 3:
        b.hostSoundOff = false;
        break;
    case 4:
        if (b.pqSwitch && b.hooks.releaseMouseCapture)
            b.hooks.releaseMouseCapture();
        HostPause();
        break;
    case 5:
    case 6:
    case 9:
    case 10:
        HostResume();
        break;
    case 7:
        StartNewGame();
        break;
    case 8:
        b.restartRequest = true;
        break;
    default:
        break;
    }
    UpdateHostMute();
}

bool TMsnZylomHandler::IsHostPausedFlag()
{
    return Bridge().Active() && Bridge().hostPaused;
}

int TMsnZylomHandler::GetHostPausedTime()
{
    return Bridge().Active() ? Bridge().hostPausedTotal : 0;
}

bool TMsnZylomHandler::TakeJumpToMenuRequest()
{
    TBridge& b = Bridge();
    if (!b.Active() || !b.jumpToMenuRequest)
        return false;
    b.jumpToMenuRequest = false;
    b.firstGame = true;
    b.gameRunning = false;
    UpdateHostMute();
    return true;
}

bool TMsnZylomHandler::TakeRestartRequest()
{
    TBridge& b = Bridge();
    if (!b.Active() || !b.restartRequest)
        return false;
    b.restartRequest = false;
    b.gameRunning = true;
    UpdateHostMute();
    return true;
}

bool TMsnZylomHandler::CommercialIntervalElapsed()
{
    TBridge& b = Bridge();
    if (b.commercialInterval < 0)
        return false;
    return b.commercialInterval < b.playClock.GetTime() / 1000;
}

bool TMsnZylomHandler::SetState(const char* key, const char* value)
{
    TBridge& b = Bridge();
    if (!b.Active())
        return false;
    if (std::strcmp(key, "windowmessage") == 0) {
        HandleHostRequest(std::atoi(value));
        return true;
    }
    if (std::strcmp(key, "sessionready") == 0) {
        SendSessionReady();
        return true;
    }
    if (std::strcmp(key, "mute") == 0) {
        SetHostGameMute(IsSet(value));
        return true;
    }
    if (std::strcmp(key, "cmdline") == 0 && b.zylomMode)
        b.commercialInterval = ReadCommercialInterval(value);
    else if (std::strcmp(key, "pause") == 0)
        SetHostGamePause(IsSet(value));
    else if (std::strcmp(key, "breaknow") == 0)
        SendGameBreak();
    else if (std::strcmp(key, "score") == 0)
        SendScoreBroadcast(std::atoi(value));
    else if (std::strcmp(key, "gamemode") == 0)
        SendGameReady(value);
    else if (std::strcmp(key, "gameover") == 0)
        SendGameEnd();
    return false;
}

const char* TMsnZylomHandler::GetState(const char* key, const char* value)
{
    TBridge& b = Bridge();
    if (!b.Active())
        return value;
    if (std::strcmp(key, "systemmode") == 0)
        b.answer = b.msnMode ? "msn" : "zylom";
    else if (std::strcmp(key, "restartbutton") == 0)
        b.answer = CommercialIntervalElapsed() ? "1" : "0";
    else
        return value;
    return b.answer.CStr();
}

bool TMsnZylomHandler::QueryRestartMode()
{
    return TakeRestartRequest();
}

bool TMsnZylomHandler::QueryJumpToMenu()
{
    return TakeJumpToMenuRequest();
}

bool TMsnZylomHandler::QueryMuteGame()
{
    return Bridge().Active() && Bridge().gameMute;
}

bool TMsnZylomHandler::IsHostPaused()
{
    return IsHostPausedFlag();
}
