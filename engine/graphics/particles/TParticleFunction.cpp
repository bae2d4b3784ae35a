#include "engine/graphics/particles/TParticleFunction.h"

TParticleFunction::TClassId TParticleFunction::ClassId()
{
    static const char id = 0;
    return &id;
}
