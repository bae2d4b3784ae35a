#pragma once

// Work that happens later or repeatedly: scripts resuming, window animations, refresh
// work after a display reset. A TTaskList owns its tasks and runs them in two passes:
// pass 0 on every turn of the event loop, pass 1 once per drawn frame.
class TTask
{
public:
    virtual ~TTask() = default;

    // Whether the task wants to run in this pass (0 = every turn, 1 = every frame).
    virtual bool Ready(int pass)
    {
        (void)pass;
        return true;
    }

    // One step of work. Returning false means finished: the owning list deletes the task.
    virtual bool DoTask() = 0;
};
