#pragma once

// What window scripts read and change on a window that shows a label: a text window's
// text (TText) or a button's label (TButton). Such a window class derives from this as
// well as from its window base; the script functions GetLabel and SetLabel find it by
// dynamic_cast and leave every other window alone.

#include "engine/foundation/core/TString.h"

class TLabelWindow
{
public:
    virtual ~TLabelWindow() = default;

    virtual TString GetLabel() const = 0;
    virtual void SetLabel(const TString& text) = 0;
};
