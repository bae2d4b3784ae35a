#pragma once

#include "engine/foundation/core/TAnimTask.h"

class TWindow;

// A window's animation task: each step calls the window's Update, and a false answer (or
// a window that is gone) ends the task. It runs on its modal window's task list and
// clock. The task and the window forget each other when either is destroyed.
class TWindowAnim final : public TAnimTask
{
public:
    explicit TWindowAnim(TWindow* window) : mWindow(window) {}
    ~TWindowAnim() override;

    TWindow* GetWindow() const { return mWindow; }
    void ForgetWindow() { mWindow = nullptr; }

protected:
    bool Animate() override;

private:
    TWindow* mWindow;
};
