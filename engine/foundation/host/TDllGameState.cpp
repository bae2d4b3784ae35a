#include "engine/foundation/host/TDllGameState.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/platform/TSharedLibrary.h"

TDllGameState::TDllGameState() = default;

TDllGameState::~TDllGameState()
{
    if (mHandler != nullptr && mDestroy != nullptr)
        mDestroy(mHandler);
    mHandler = nullptr;
    mLibrary.reset();
}

bool TDllGameState::Load(const TString& name)
{
    TString path = ResolvePath(name, true);
    if (path.Length() == 0) {
        TraceLog("gamestate: plug-in %s not found", name.CStr());
        return false;
    }
    mLibrary = TSharedLibrary::Create(path.CStr());
    if (!mLibrary)
        return false;
    mCreate = reinterpret_cast<TCreateHandler>(mLibrary->FindSymbol("CreateHandler"));
    mDestroy = reinterpret_cast<TDestroyHandler>(mLibrary->FindSymbol("DestroyHandler"));
    if (mCreate == nullptr || mDestroy == nullptr) {
        TraceLog("gamestate: plug-in %s lacks CreateHandler or DestroyHandler", name.CStr());
        return false;
    }
    mHandler = mCreate();
    if (mHandler == nullptr) {
        TraceLog("gamestate: plug-in %s created no handler", name.CStr());
        return false;
    }
    return true;
}

bool TDllGameState::SetState(const char* key, const char* value)
{
    return mHandler != nullptr && mHandler->SetState(key, value);
}

const char* TDllGameState::GetState(const char* key, const char* value)
{
    return mHandler != nullptr ? mHandler->GetState(key, value) : value;
}

bool TDllGameState::QueryRestartMode()
{
    return mHandler != nullptr && mHandler->QueryRestartMode();
}

bool TDllGameState::QueryJumpToMenu()
{
    return mHandler != nullptr && mHandler->QueryJumpToMenu();
}

bool TDllGameState::QueryMuteGame()
{
    return mHandler != nullptr && mHandler->QueryMuteGame();
}

bool TDllGameState::IsHostPaused()
{
    return mHandler != nullptr && mHandler->IsHostPaused();
}
