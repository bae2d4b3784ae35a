#include "game/core/data/UpgradeRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(UpgradeRecordTest, UpgradeStatesReadAsNumbers)
{
    struct TCase
    {
        const char* text;
        int state;
    };
    const TCase cases[] = {{"not", -1}, {"1", 1},   {"2", 2},    {"3", 3}, {"4", 4},
                           {"5", 5},    {"0", 0},   {"6", 0},    {"7", 0}, {"12", 0},
                           {"", 0},     {"Not", 0}, {"not ", 0}, {" 1", 0}};
    for (const TCase& test : cases)
        EXPECT_EQ(YOLT::Core::ParseUpgradeState(test.text), test.state) << "'" << test.text << "'";
}

} // namespace
