#include "engine/ui/window/TWindowStyle.h"

#include <climits>
#include <cmath>

int TWindowStyle::GetInt(const char* key, int defaultValue) const
{
    const double value = GetNumber(key, defaultValue);
    if (std::isnan(value))
        return 0;
    if (value <= INT_MIN)
        return INT_MIN;
    if (value >= INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}
