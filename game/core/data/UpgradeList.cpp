#include "game/core/data/UpgradeList.h"

#include "game/core/data/GameUserData.h"

#include <algorithm>
#include <cstdint>

namespace YOLT::Core {

namespace {

uint32_t Unsigned(int32_t value)
{
    return static_cast<uint32_t>(value);
}

// Whether record goes in front of p (InsertSorted's rule).
bool GoesBefore(const UpgradeRecord& record, const UpgradeRecord& p)
{
    if (Unsigned(record.level) < Unsigned(p.level))
        return true;
    return record.level == p.level &&
           (Unsigned(record.sublevel) < Unsigned(p.sublevel) || record.state < p.state);
}

} // namespace

void UpgradeList::InsertSorted(const UpgradeRecord& record)
{
    const auto at = std::find_if(mRecords.begin(), mRecords.end(),
                                 [&](const UpgradeRecord& p) { return GoesBefore(record, p); });
    mRecords.insert(at, record);
}

const UpgradeRecord* UpgradeList::FindAvailable(const GameUserData& progress, int level,
                                                int sublevel) const
{
    for (const UpgradeRecord& record : mRecords) {
        const bool available =
            Unsigned(record.level) < Unsigned(level) ||
            (record.level == level && Unsigned(record.sublevel) <= Unsigned(sublevel));
        if (available && !progress.IsUpgradeBought(record.number))
            return &record;
    }
    return nullptr;
}

int UpgradeList::HighestBoughtState(const GameUserData& progress) const
{
    int highest = -1;
    for (const UpgradeRecord& record : mRecords)
        if (progress.IsUpgradeBought(record.number))
            highest = std::max(highest, static_cast<int>(record.state));
    return highest;
}

void UpgradeList::MarkBought(GameUserData& progress, int state) const
{
    const auto found =
        std::find_if(mRecords.begin(), mRecords.end(),
                     [&](const UpgradeRecord& record) { return record.state == state; });
    if (found != mRecords.end())
        progress.SetUpgradeBought(found->number, true);
}

} // namespace YOLT::Core
