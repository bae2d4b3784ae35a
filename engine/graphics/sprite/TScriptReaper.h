#pragma once

// Deletes scripts that may still be running when they are let go: an animated sprite
// whose script calls Die, or whose coroutine ends up destroying the sprite itself, is
// inside that very script. The scripts are taken out of the task list, handed to a
// reaper added to it, and deleted when the list runs the reaper, once every script
// call of that moment has returned. The list deletes the reaper after its one step.

#include "engine/foundation/core/TTask.h"

#include <memory>
#include <vector>

class TScript;

class TScriptReaper final : public TTask
{
public:
    // Scripts are deleted in the order they were added: coroutines before the script
    // they belong to.
    void Add(std::unique_ptr<TScript> script);
    bool IsEmpty() const { return mScripts.empty(); }

    // Deletes the scripts; false, so that the list deletes the reaper.
    bool DoTask() override;

    ~TScriptReaper() override;

private:
    std::vector<std::unique_ptr<TScript>> mScripts;
};
