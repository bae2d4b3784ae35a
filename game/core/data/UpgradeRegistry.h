#pragma once

// The catalogue of purchasable upgrades: per entity name, its upgrade steps
// (UpgradeList) and at most one dependency on another entity. "level/upgrades.lua"
// fills it through the Lua function
//
//   RegisterUpgrade{EntityName=, UpgradeState=, Title=, Level=, SubLevel=, Cost=,
//                   Priority=, DependentOn=, DependentMsg=} -> boolean
//
// Level and SubLevel count from 1 in the script and from 0 here. Each accepted call
// takes the next registration number, the index of the step's bought flag in the
// player's progress record; the record has 45 flags, so a 46th upgrade is refused.
// Whether a step was bought lives in the progress record passed to each query, so the
// catalogue itself never changes during play. Load empties it first: loading again
// gives the same catalogue. Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/script/TLifeline.h"
#include "game/core/data/UpgradeList.h"

#include <map>

class TLuaTable;
class TScript;

namespace YOLT::Core {

class GameUserData;

class UpgradeRegistry
{
public:
    static constexpr int kMaxUpgrades = 45;
    static constexpr const char* kScript = "level/upgrades.lua";

    struct Dependency
    {
        TString entity;  // the entity that must have a bought upgrade first
        TString message; // shown while it has none
    };

    // The one registry, built on first use.
    static UpgradeRegistry& Instance();

    UpgradeRegistry() = default;
    UpgradeRegistry(const UpgradeRegistry&) = delete;
    UpgradeRegistry& operator=(const UpgradeRegistry&) = delete;

    // Load through the window script and kScript; false without a window script.
    bool Load();
    // Empties the catalogue, publishes "RegisterUpgrade" in script's state and runs file
    // there. The script's success.
    bool Load(TScript& script, const TString& file);
    void Clear();

    // Registers one upgrade from a table of the form above. False, with a log line, when
    // EntityName, UpgradeState or Title is empty, Level or SubLevel is missing or not
    // from 0 to 999, Cost is not above 0, or 45 upgrades are registered already.
    bool RegisterUpgrade(TLuaTable* table);
    int GetCount() const { return mCount; }

    // The highest state among the entity's bought upgrades; false when it has none.
    bool GetBoughtState(const GameUserData& progress, const TString& entity, int& state) const;
    // The entity's first upgrade available at (level, sublevel) and not bought, or null.
    const UpgradeRecord* FindAvailableUpgrade(const GameUserData& progress, const TString& entity,
                                              int level, int sublevel) const;
    // Whether any entity has an upgrade available at (level, sublevel) and not bought.
    bool HasAvailableUpgrade(const GameUserData& progress, int level, int sublevel) const;
    // Sets the bought flag of the entity's first upgrade with state.
    void MarkBought(GameUserData& progress, const TString& entity, int state) const;
    // The entity's dependency, or null.
    const Dependency* FindDependency(const TString& entity) const;
    // True, with the dependency's message, when the entity depends on one that has no
    // bought upgrade.
    bool GetUnmetDependency(const GameUserData& progress, const TString& entity,
                            TString& message) const;

    const UpgradeList* FindList(const TString& entity) const;

private:
    TLifeline mLifeline;
    int mCount = 0;
    std::map<TString, Dependency> mDependencies;
    std::map<TString, UpgradeList> mLists;
};

} // namespace YOLT::Core
