#include "engine/foundation/TVec2.h"

#include "engine/foundation/TVec3.h"

TVec2::TVec2(const TVec3& v) : x(v.x), y(v.y)
{
}
