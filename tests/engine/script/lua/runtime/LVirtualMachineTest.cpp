#include "engine/script/lua/runtime/LVirtualMachine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Formatted(double n)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.14g", n);
    return text;
}

TEST(LVirtualMachineTest, NumberTextIsTheFourteenDigitGeneralFormat)
{
    const double cases[] = {
        1,
        -1,
        0,
        -0.0,
        7,
        10,
        -10,
        123456789,
        2147483648.0,
        -2147483649.0,
        4294967296.0,
        99999999999999.0,
        -99999999999999.0,
        1e14,
        -1e14,
        1e15,
        9007199254740993.0,
        0.5,
        -0.25,
        1e14 - 0.5,
        1.0 / 3,
        1e300,
        -1e-300,
        1.0 / 0.0,
        -1.0 / 0.0,
    };
    for (double n : cases) {
        char text[64];
        luaV_numbertext(n, text, sizeof text);
        EXPECT_EQ(text, Formatted(n)) << Formatted(n);
    }
}

} // namespace
