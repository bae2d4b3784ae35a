#include "engine/ui/window/TWindowAnim.h"

#include "engine/ui/window/TWindow.h"

TWindowAnim::~TWindowAnim()
{
    if (mWindow != nullptr)
        mWindow->mAnim = nullptr;
}

bool TWindowAnim::Animate()
{
    return mWindow != nullptr && mWindow->Update();
}
