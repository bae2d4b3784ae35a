#include "game/core/data/UpgradeRegistry.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/TLuaTable.h"
#include "engine/script/TScript.h"
#include "game/core/data/GameUserData.h"
#include "game/core/script/ScriptPublisher.h"
#include "game/core/script/WindowScript.h"

#include <cstdint>

namespace YOLT::Core {

namespace {

// The script counts from 1 and marks a missing value with 1000: a value from 1 to 1000
// (0 to 999 unsigned, after the truncation) is accepted and stored minus 1.
constexpr double kMissing = 1000;

bool InScriptRange(int32_t value)
{
    return static_cast<uint32_t>(value) < 1000;
}

bool Refuse(const TString& entity, const char* reason)
{
    TraceLog("ERROR: upgrades: RegisterUpgrade \"%s\" refused: %s", entity.CStr(), reason);
    return false;
}

} // namespace

UpgradeRegistry& UpgradeRegistry::Instance()
{
    static UpgradeRegistry registry;
    return registry;
}

bool UpgradeRegistry::Load()
{
    TScript* script = WindowScript::Get();
    return script != nullptr && Load(*script, kScript);
}

bool UpgradeRegistry::Load(TScript& script, const TString& file)
{
    Clear();
    ScriptPublisher(script.GetState(), *this, mLifeline)
        .Add<&UpgradeRegistry::RegisterUpgrade>("RegisterUpgrade");
    TPlatform* platform = TPlatform::GetInstance();
    return script.RunScript(file, platform != nullptr ? &platform->GetAssetManager() : nullptr);
}

void UpgradeRegistry::Clear()
{
    mCount = 0;
    mDependencies.clear();
    mLists.clear();
}

bool UpgradeRegistry::RegisterUpgrade(TLuaTable* table)
{
    if (table == nullptr)
        return Refuse("", "no table");
    const TString entity = table->GetString("EntityName");
    const TString stateText = table->GetString("UpgradeState");
    const TString title = table->GetString("Title");
    if (entity.Length() == 0 || stateText.Length() == 0 || title.Length() == 0)
        return Refuse(entity, "EntityName, UpgradeState and Title must not be empty");
    const int32_t level = LuaBinding::ToInteger<int32_t>(table->GetNumber("Level", kMissing));
    const int32_t sublevel = LuaBinding::ToInteger<int32_t>(table->GetNumber("SubLevel", kMissing));
    if (!InScriptRange(level) || !InScriptRange(sublevel))
        return Refuse(entity, "Level and SubLevel must be given, below 1000");
    const float cost = static_cast<float>(table->GetNumber("Cost", 0));
    if (!(cost > 0))
        return Refuse(entity, "Cost must be above 0");
    if (mCount >= kMaxUpgrades)
        return Refuse(entity, "the progress record holds 45 upgrades");

    UpgradeRecord record;
    record.level = level - 1;
    record.sublevel = sublevel - 1;
    record.number = mCount++;
    record.title = title;
    record.state = ParseUpgradeState(stateText);
    record.cost = cost;
    record.priority = LuaBinding::ToInteger<int32_t>(table->GetNumber("Priority", 0));
    mLists[entity].InsertSorted(record);

    const TString dependentOn = table->GetString("DependentOn");
    if (dependentOn.Length() != 0)
        mDependencies.emplace(entity, Dependency{dependentOn, table->GetString("DependentMsg")});
    return true;
}

const UpgradeList* UpgradeRegistry::FindList(const TString& entity) const
{
    const auto found = mLists.find(entity);
    return found == mLists.end() ? nullptr : &found->second;
}

bool UpgradeRegistry::GetBoughtState(const GameUserData& progress, const TString& entity,
                                     int& state) const
{
    const UpgradeList* list = FindList(entity);
    if (list == nullptr)
        return false;
    const int highest = list->HighestBoughtState(progress);
    if (highest == -1)
        return false;
    state = highest;
    return true;
}

const UpgradeRecord* UpgradeRegistry::FindAvailableUpgrade(const GameUserData& progress,
                                                           const TString& entity, int level,
                                                           int sublevel) const
{
    if (entity.Length() == 0)
        return nullptr;
    const UpgradeList* list = FindList(entity);
    return list == nullptr ? nullptr : list->FindAvailable(progress, level, sublevel);
}

bool UpgradeRegistry::HasAvailableUpgrade(const GameUserData& progress, int level,
                                          int sublevel) const
{
    for (const auto& [entity, list] : mLists)
        if (list.FindAvailable(progress, level, sublevel) != nullptr)
            return true;
    return false;
}

void UpgradeRegistry::MarkBought(GameUserData& progress, const TString& entity, int state) const
{
    if (const UpgradeList* list = FindList(entity))
        list->MarkBought(progress, state);
}

const UpgradeRegistry::Dependency* UpgradeRegistry::FindDependency(const TString& entity) const
{
    const auto found = mDependencies.find(entity);
    return found == mDependencies.end() ? nullptr : &found->second;
}

bool UpgradeRegistry::GetUnmetDependency(const GameUserData& progress, const TString& entity,
                                         TString& message) const
{
    const Dependency* dependency = FindDependency(entity);
    int state = 0;
    if (dependency == nullptr || GetBoughtState(progress, dependency->entity, state))
        return false;
    message = dependency->message;
    return true;
}

} // namespace YOLT::Core
