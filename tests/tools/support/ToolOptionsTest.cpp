// Numbers on the command line: the whole text is the number, within its range.

#include "tools/support/ToolOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(ToolOptionsTest, WholeNumbersAreReadStrictly)
{
    struct TCase
    {
        const char* mText;
        int64_t mMin;
        int64_t mMax;
        bool mRead;
        int64_t mValue;
    };
    const TCase cases[] = {
        {"12", 0, 100, true, 12},
        {"0x1F", 0, 100, true, 31},
        {"-5", -10, 10, true, -5},
        {"-0x10", -100, 0, true, -16},
        {"100", 0, 100, true, 100},
        {"101", 0, 100, false, 0},
        {"-5", 0, 10, false, 0},
        {"+5", 0, 10, false, 0},
        {"5x", 0, 10, false, 0},
        {" 5", 0, 10, false, 0},
        {"", 0, 10, false, 0},
        {"0x", 0, 10, false, 0},
        {"1.5", 0, 10, false, 0},
        {"1e3", 0, 10000, false, 0},
        {"--5", -10, 10, false, 0},
        {"0x-5", -10, 10, false, 0},
        {"99999999999999999999", 0, INT64_MAX, false, 0},
    };
    for (const TCase& c : cases) {
        int64_t value = 0;
        EXPECT_EQ(ParseWholeNumber(c.mText, c.mMin, c.mMax, value), c.mRead) << c.mText;
        EXPECT_EQ(value, c.mValue) << c.mText;
    }
}

TEST(ToolOptionsTest, NumbersAreReadStrictly)
{
    struct TCase
    {
        const char* mText;
        bool mRead;
        double mValue;
    };
    const TCase cases[] = {
        {"1.5", true, 1.5},  {"-3", true, -3},  {"2e3", true, 2000}, {".5", true, 0.5},
        {"1e4", false, 0},   {"abc", false, 0}, {"", false, 0},      {" 1", false, 0},
        {"1 ", false, 0},    {"nan", false, 0}, {"inf", false, 0},   {"0x10", false, 0},
        {"1e999", false, 0}, {"-", false, 0},
    };
    for (const TCase& c : cases) {
        double value = 0;
        EXPECT_EQ(ParseNumber(c.mText, -10, 5000, value), c.mRead) << c.mText;
        EXPECT_EQ(value, c.mValue) << c.mText;
    }
}

} // namespace
