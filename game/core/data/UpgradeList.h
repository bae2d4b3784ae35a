#pragma once

// The upgrade steps of one entity, in the order the purchase mode offers them. Whether a
// step was bought is kept in the player's progress record under its registration number.

#include "game/core/data/UpgradeRecord.h"

#include <vector>

namespace YOLT::Core {

class GameUserData;

class UpgradeList
{
public:
    // Inserts record before the first step p with record.level < p.level, or with equal
    // levels and record.sublevel < p.sublevel or record.state < p.state; at the end when
    // there is none. Levels and sublevels compare as unsigned values (a stored -1 sorts
    // last), states as signed ones. NOTE: at equal levels a lower state alone goes first:
    // this is not a lexicographic order, and the purchase mode's offers depend on it.
    void InsertSorted(const UpgradeRecord& record);

    // The first step not bought in progress that is available at (level, sublevel): of an
    // earlier level, or of the same level and a sublevel up to sublevel (unsigned
    // comparisons). Null when there is none.
    const UpgradeRecord* FindAvailable(const GameUserData& progress, int level, int sublevel) const;
    // The largest state among the bought steps; -1 when none is bought.
    int HighestBoughtState(const GameUserData& progress) const;
    // Sets the bought flag of the first step with state; nothing when there is none.
    void MarkBought(GameUserData& progress, int state) const;

    const std::vector<UpgradeRecord>& GetRecords() const { return mRecords; }

private:
    std::vector<UpgradeRecord> mRecords;
};

} // namespace YOLT::Core
