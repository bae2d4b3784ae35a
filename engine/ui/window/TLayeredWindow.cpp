#include "engine/ui/window/TLayeredWindow.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/ui/window/TWindowClearFlags.h"
#include "engine/ui/window/TWindowServices.h"

TLayeredWindow::TLayeredWindow(unsigned int layerCount) : mLayers(layerCount) {}

TClassId TLayeredWindow::ClassId()
{
    return reinterpret_cast<TClassId>(&TLayeredWindow::ClassId);
}

bool TLayeredWindow::AdoptChild(TWindow* child, bool attach)
{
    if (!TWindow::AdoptChild(child, attach))
        return false;
    for (size_t layer = 0; layer < mLayers.size(); ++layer) {
        if (mCurrentLayer != -1 && static_cast<size_t>(mCurrentLayer) != layer)
            continue;
        std::list<TWindow*>& list = mLayers[layer];
        list.remove(child);
        list.push_front(child);
    }
    return true;
}

void TLayeredWindow::RemoveChild(TWindow* child)
{
    TWindow::RemoveChild(child);
    for (std::list<TWindow*>& list : mLayers)
        list.remove(child);
}

void TLayeredWindow::SelectLayer(int index)
{
    if (index < -1 || index >= static_cast<int>(mLayers.size())) {
        TraceLog(kNoLayerLog, GetName().CStr(), index, GetLayerCount());
        return;
    }
    if (index == mCurrentLayer)
        return;
    mCurrentLayer = index;
    TWindowClearFlags hide(~kShown);
    ForEachChild(hide);
    if (!mLayers.empty()) {
        for (TWindow* child : mLayers[index == -1 ? 0 : static_cast<size_t>(index)])
            child->SetFlags(child->GetFlags() | kShown);
    }
    InvalidateWindows();
}
