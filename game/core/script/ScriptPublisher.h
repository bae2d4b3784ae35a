#pragma once

// Publishes member operations of one game object to a script state as global Lua
// functions. It is a thin layer over the engine's binder (engine/script/LuaBinder.h),
// which marshals the arguments and results with one thunk per call signature (numbers
// are truncated toward zero where the operation takes integers) and guards each closure
// with the object's lifeline: a script calling an operation after the object died gets
// the script error "<name>: its object no longer exists".
//
//     ScriptPublisher(L, *this, mLifeline)
//         .Add<&UserManager::UserCount>("UserCount")
//         .Add<&UserManager::InsertUser>("InsertUser");
//
// A later publication of the same global name replaces the earlier one. With a null
// state nothing is published (no window script yet, headless tools). Main thread only.

#include "engine/script/LuaBinder.h"
#include "engine/script/TLifeline.h"

struct lua_State;

namespace YOLT::Core {

template <class C> class ScriptPublisher
{
public:
    ScriptPublisher(lua_State* L, C& object, const TLifeline& lifeline)
        : mState(L), mObject(object), mLifeline(lifeline)
    {
    }

    template <auto Method> ScriptPublisher& Add(const char* name)
    {
        if (mState != nullptr)
            Publish<Method>(mState, name, mObject, mLifeline);
        return *this;
    }

private:
    lua_State* mState;
    C& mObject;
    const TLifeline& mLifeline;
};

} // namespace YOLT::Core
