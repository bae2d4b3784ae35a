#include "engine/foundation/math/TVec2.h"

#include "engine/foundation/math/TVec3.h"

TVec2::TVec2(const TVec3& v) : x(v.x), y(v.y) {}
