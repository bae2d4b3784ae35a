#include "engine/ui/window/TLayeredWindow.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/ui/window/TWindowClearFlags.h"
#include "engine/ui/window/TWindowServices.h"

TLayeredWindow::TLayeredWindow(unsigned int layerCount) : mLayers(layerCount) {}

TClassId TLayeredWindow::ClassId()
{
    return reinterpret_cast<TClassId>(&TLayeredWindow::ClassId);
}

std::unique_ptr<TWindow> TLayeredWindow::AdoptChild(std::unique_ptr<TWindow> child, bool attach)
{
    TWindow* window = child.get();
    if (window == nullptr)
        return nullptr;
    if (std::unique_ptr<TWindow> refused = TWindow::AdoptChild(std::move(child), attach))
        return refused;
    for (size_t layer = 0; layer < mLayers.size(); ++layer) {
        if (mCurrentLayer == -1 || static_cast<size_t>(mCurrentLayer) == layer)
            mLayers[layer].push_front(window);
    }
    return nullptr;
}

std::unique_ptr<TWindow> TLayeredWindow::RemoveChild(TWindow* child)
{
    std::unique_ptr<TWindow> removed = TWindow::RemoveChild(child);
    for (std::list<TWindow*>& list : mLayers)
        list.remove(child);
    return removed;
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
