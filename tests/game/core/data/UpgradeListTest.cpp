#include "game/core/data/UpgradeList.h"

#include "game/core/data/GameUserData.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using YOLT::Core::GameUserData;
using YOLT::Core::UpgradeList;
using YOLT::Core::UpgradeRecord;

struct TStep
{
    int level, sublevel, state;
};

TEST(UpgradeListTest, InsertSortedPutsARecordBeforeTheFirstItBeats)
{
    struct TCase
    {
        const char* what;
        std::vector<TStep> inserted; // registration numbers 0, 1, ... in this order
        std::vector<int> order;
    };
    const TCase cases[] = {
        {"a lower level goes first", {{2, 0, 1}, {1, 4, 5}}, {1, 0}},
        {"a higher level goes after", {{2, 4, 5}, {3, 0, 1}}, {0, 1}},
        {"equal level, lower sublevel first", {{2, 1, 1}, {2, 0, 5}}, {1, 0}},
        {"equal level, a lower state alone goes first", {{2, 1, 2}, {2, 3, 1}}, {1, 0}},
        {"equal level, higher sublevel and state go after", {{2, 1, 1}, {2, 3, 2}}, {0, 1}},
        {"equal records keep their order", {{2, 1, 1}, {2, 1, 1}}, {0, 1}},
        {"a stored -1 sorts after every level", {{9, 4, 5}, {-1, 0, 1}}, {0, 1}},
        {"a stored -1 sublevel sorts last in its level", {{2, 4, 5}, {2, -1, 5}}, {0, 1}},
        {"the first beaten record decides",
         {{1, 0, 3}, {2, 0, 1}, {2, 0, 2}, {2, 0, 0}},
         {0, 3, 1, 2}},
    };
    for (const TCase& test : cases) {
        UpgradeList list;
        int number = 0;
        for (const TStep& step : test.inserted)
            list.InsertSorted({step.level, step.sublevel, number++, "", step.state, 1.0f, 0});
        std::vector<int> order;
        for (const UpgradeRecord& record : list.GetRecords())
            order.push_back(record.number);
        EXPECT_EQ(order, test.order) << test.what;
    }
}

TEST(UpgradeListTest, TheHighestBoughtStateIsMinusOneWhenNothingIsBought)
{
    UpgradeList list;
    list.InsertSorted({0, 0, 0, "", 1, 1.0f, 0});
    list.InsertSorted({0, 0, 1, "", 3, 1.0f, 0});
    GameUserData progress;
    EXPECT_EQ(list.HighestBoughtState(progress), -1);
    list.MarkBought(progress, 3);
    EXPECT_EQ(list.HighestBoughtState(progress), 3);
    EXPECT_TRUE(progress.IsUpgradeBought(1));
    EXPECT_FALSE(progress.IsUpgradeBought(0));
}

} // namespace
