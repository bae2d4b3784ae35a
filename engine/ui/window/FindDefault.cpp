#include "engine/ui/window/FindDefault.h"

#include "engine/ui/window/TDefaultButton.h"
#include "engine/ui/window/TWindow.h"

bool FindDefault::Visit(TWindow* window)
{
    auto* button = dynamic_cast<TDefaultButton*>(window);
    if (button != nullptr && button->IsDefaultButton() && window->IsShown()) {
        mButton = button;
        return false;
    }
    return true;
}
