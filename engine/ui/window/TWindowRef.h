#pragma once

// A weak handle to a window: it reads as the window while the window lives and as null
// from the moment the window's own (TWindow) part is destroyed, however the window went
// (deleted by its owner, scheduled by the window manager, with its parent's subtree,
// with a popped modal window, with the manager). Keeping one keeps nothing alive.
//
// A window makes the shared cell its handles read on the first handle made to it and
// empties it when it dies; a handle costs one shared pointer, reading one costs two
// loads. Main thread only, like the windows.

#include "engine/ui/window/TWindow.h"

#include <memory>

class TWindowRef
{
public:
    TWindowRef() = default;
    // A handle to window; empty for null.
    explicit TWindowRef(TWindow* window);

    // The window, or null once it is gone (or for an empty handle).
    TWindow* Get() const { return mCell != nullptr ? *mCell : nullptr; }
    // The window as a T when it lives and is one (WindowCast), else null.
    template <class T> T* GetAs() const { return WindowCast<T>(Get()); }
    bool IsAlive() const { return Get() != nullptr; }
    explicit operator bool() const { return IsAlive(); }
    // Forgets the window.
    void Reset() { mCell.reset(); }

private:
    std::shared_ptr<TWindow* const> mCell;
};
