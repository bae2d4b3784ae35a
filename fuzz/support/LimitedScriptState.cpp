#include "fuzz/support/LimitedScriptState.h"

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"

LimitedScriptState::LimitedScriptState() : mOldLimits(TScriptBudget::GetLimits())
{
    TScriptLimits limits;
    limits.memory = kMemoryLimit;
    limits.allocationTotal = kAllocationBudget;
    limits.instructions = kInstructionBudget;
    TScriptBudget::SetLimits(limits);
    mState = TScriptBudget::OpenState();
    if (mState != nullptr) {
        luaopen_base(mState);
        lua_settop(mState, 0);
    }
}

LimitedScriptState::~LimitedScriptState()
{
    if (mState != nullptr)
        TScriptBudget::CloseState(mState);
    TScriptBudget::SetLimits(mOldLimits);
}
