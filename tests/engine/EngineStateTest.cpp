#include "tests/engine/EngineStateTest.h"

#include "engine/foundation/app/TEventPump.h"
#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/foundation/files/TPackageList.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/TMsnZylomHandler.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/foundation/seams/TMasterVolume.h"
#include "engine/graphics/TDXContext.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TStandaloneGraphicsHost.h"
#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/vector/THvMiniVecDraw.h"
#include "engine/platform/TPlatformLog.h"
#include "engine/platform/TTimeSource.h"
#include "engine/script/TScript.h"
#include "engine/script/TScriptBudget.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"

#include <filesystem>

namespace {

// The working folder the process started in; tests that change it get it back.
const std::filesystem::path sStartFolder = std::filesystem::current_path();

} // namespace

void ResetEngineState()
{
    // Stores first: their handlers and hooks may still log or reach the volume.
    TGameState::Destroy();
    TMsnZylomHandler::Uninstall();
    TMsnZylomHandler::SetHooks({});
    TMasterVolume::Install(nullptr);
    THvMiniVecDraw::Destroy();
    FontCache::Clear();
    TRenderer::Destroy();
    TRenderer::SetOverlayTextFactory(nullptr);
    TDXContext::SetOutputFactory(nullptr);
    TGraphicsHost::Install(nullptr);
    TStandaloneGraphicsHost::Instance().GetAnimationTasks().DeleteAll();
    TEngineSeams::Factories() = TEngineSeams::TFactories{};
    TAssetMap::RemoveAllLoaders();
    TEventPump::ResetSessionReady();

    ResetSettings();
    TCommandLine::SetCurrent(TString());
    TPathMap::Get().Reset();
    TPackageList::Get().Clear();

    TScript::SetDebugOutHook(nullptr);
    TScriptBudget::SetLimits(TScriptBudget::DefaultLimits());
    TScriptBudget::SetQuitCheck(nullptr);
    lua_setpanicwriter(nullptr);
    luaL_setfilereader(nullptr);

    TTimeSource::SetCurrent(nullptr);
    TPlatformLog::SetSink(nullptr);
    InitLog(nullptr);

    std::error_code error;
    std::filesystem::current_path(sStartFolder, error);
}

EngineStateTest::EngineStateTest()
{
    ResetEngineState();
}

EngineStateTest::~EngineStateTest()
{
    ResetEngineState();
}
