#pragma once

class TWindow;

// A visitor over a window's direct children (TWindow::ForEachChild).
class TWindowSpider
{
public:
    virtual ~TWindowSpider() = default;

    // Visits one child; false stops the walk.
    virtual bool Visit(TWindow* window) = 0;
};
