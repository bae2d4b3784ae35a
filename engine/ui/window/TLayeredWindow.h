#pragma once

#include "engine/ui/window/TWindow.h"

#include <list>
#include <vector>

// A window that shows one of several sets of its children at a time (a button's up,
// down and over images). Children adopted while layer k is selected belong to layer k;
// those adopted while the selection is -1 belong to every layer. Adoption does not
// change a child's shown flag: the selection shows and hides them.
class TLayeredWindow : public TWindow
{
public:
    // Logged for a layer index out of range (the name, the index, the layer count).
    static constexpr const char* kNoLayerLog = "ui: window %s: no layer %d (it has %u)";

    // layerCount layers; layer 0 selected.
    explicit TLayeredWindow(unsigned int layerCount);

    static TClassId ClassId();
    const char* GetClassName() const override { return "TLayeredWindow"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TWindow::IsKindOf(classId);
    }

    std::unique_ptr<TWindow> AdoptChild(std::unique_ptr<TWindow> child, bool attach) override;
    std::unique_ptr<TWindow> RemoveChild(TWindow* child) override;

    // Shows the children of layer index (of layer 0 for -1) and hides the others; index
    // -1 also makes later children belong to every layer. Selecting the current layer
    // does nothing; an index outside -1 to count - 1 is refused (logged).
    void SelectLayer(int index);
    int GetCurrentLayer() const { return mCurrentLayer; }
    unsigned int GetLayerCount() const { return static_cast<unsigned int>(mLayers.size()); }
    // Front first; the children are owned by the child list.
    const std::list<TWindow*>& GetLayer(unsigned int index) const { return mLayers.at(index); }

private:
    int mCurrentLayer = 0;
    std::vector<std::list<TWindow*>> mLayers;
};
