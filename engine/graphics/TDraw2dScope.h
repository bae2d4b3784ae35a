#pragma once

// Keeps the renderer in its 2D state for a scope: enters it when it is not in it and
// leaves it at the end of the scope only when it entered it. Opened inside a 2D block,
// it logs the renderer's Begin2d message and leaves the outer block open.
class TDraw2dScope
{
public:
    TDraw2dScope();
    ~TDraw2dScope();
    TDraw2dScope(const TDraw2dScope&) = delete;
    TDraw2dScope& operator=(const TDraw2dScope&) = delete;

    bool HasBegun() const { return mBegan; }

private:
    bool mBegan = false;
};
