#include "engine/script/lua/objects/LObjectUtil.h"

bool luaO_rawequalObj(const LValue* a, const LValue* b)
{
    if (a->Tag() != b->Tag())
        return false;
    switch (a->Tag()) {
    case LUA_TNIL:
        return true;
    case LUA_TNUMBER:
        return a->AsNumber() == b->AsNumber();
    case LUA_TBOOLEAN:
        return a->AsBoolean() == b->AsBoolean();
    case LUA_TLIGHTUSERDATA:
        return a->AsLightUserdata() == b->AsLightUserdata();
    default:
        return a->AsGc() == b->AsGc();
    }
}

int luaO_int2fb(unsigned int x)
{
    int e = 0;
    while (x >= 8) {
        x = (x + 1) >> 1;
        ++e;
    }
    return (e << 3) | static_cast<int>(x);
}
