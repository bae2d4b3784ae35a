#pragma once

// The root window script as the window manager sees it. The platform facade makes the
// script (TEngineSeams::CreateWindowScript) and hands it to the manager; a script that
// is also a TScript is a task the manager puts on the platform's main task list, which
// then owns it, and runs script files and texts through that TScript.
//
// Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/ui/window/TWindow.h"

#include <memory>

class TLuaFunction;
class TMessage;

class TWindowScriptLink : public TWindowScriptSeam
{
public:
    // Takes over a message no window took, with the script function to run for it (null
    // for a plain message).
    virtual void DeliverMessage(std::unique_ptr<TMessage> message,
                                std::unique_ptr<TLuaFunction> function) = 0;

    // The parent stack: its top is the window that windows made by scripts go into.
    // Reset empties it and then pushes window unless it is null.
    virtual void ResetParentStack(TWindow* window) = 0;
    virtual void PushParent(TWindow* window) = 0;
    // Pops the top unless it is the only entry left.
    virtual void PopParent() = 0;
    // window leaves the tree (scheduled for deletion, or deleted): the parent stack must
    // no longer name it or any window of its subtree.
    virtual void ForgetParent(TWindow* window) = 0;

    // Scripts create windows of typeName with creator.
    virtual void RegisterWindowType(const TString& typeName, TWindowCreator creator) = 0;
    // Whether labels go through the string table; answers the previous setting.
    virtual bool SetTranslateLabels(bool translate) = 0;
    virtual bool GetTranslateLabels() const = 0;
};
