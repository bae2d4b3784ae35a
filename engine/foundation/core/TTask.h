#pragma once

// Work that happens later or repeatedly: scripts resuming, window animations, refresh
// work after a display reset. A TTaskList owns its tasks and runs them in two passes.

enum TTaskPass : int
{
    kPassEveryTurn = 0,  // on every turn of the event loop
    kPassEveryFrame = 1, // once per drawn frame
};

class TTask
{
public:
    virtual ~TTask() = default;

    // Whether the task wants to run in this pass.
    virtual bool Ready(TTaskPass pass)
    {
        (void)pass;
        return true;
    }

    // One step of work. Returning false means finished: the owning list deletes the task.
    virtual bool DoTask() = 0;
};
