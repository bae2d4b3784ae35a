#pragma once

#include "engine/ui/window/TWindowSpider.h"

class TDefaultButton;

// Finds a dialog's default button over TWindow::ForEachDescendant (depth first, front to
// back at every level): the walk stops at the first shown window that is a default
// button.
class FindDefault final : public TWindowSpider
{
public:
    bool Visit(TWindow* window) override;

    // The button found, or null.
    TDefaultButton* GetButton() const { return mButton; }

private:
    TDefaultButton* mButton = nullptr;
};
