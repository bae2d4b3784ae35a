#include "engine/graphics/sprite/AnimationServices.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/TMersenneTwister.h"
#include "engine/foundation/core/TTaskList.h"

TTaskList& GetAnimationTaskList()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->GetTaskList();
    // Never destroyed: sprites held in static storage may die after it would have.
    static TTaskList* const ownList = new TTaskList();
    return *ownList;
}

uint32_t AnimationRandom()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->Random();
    static TMersenneTwister ownGenerator;
    return ownGenerator.NextUInt32();
}
