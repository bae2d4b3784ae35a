#pragma once

// A window that shows a block of marked-up text (window type "Text"), laid out and drawn by
// a TTextLayout. Its label comes from the style and goes through the string table while the
// window script translates labels. Links in the markup (<a id='name'>) press the button of
// that name in the same dialog when the mouse is pressed and released on them; hovering a
// link takes the mouse capture so the window hears when the pointer leaves. Scroll bars and
// sliders scroll the text by lines (SetScroll). Scripts read and change the text through
// GetLabel and SetLabel.
//
// A window made with a zero width or height has no layout: it logs that once, draws
// nothing, ignores links and text changes, and reads back an empty text.
//
// Style keys (read by Init, in this order): "font" = {face, size, colour} ("__DEFAULT", 16,
// green; a size of 0 or less becomes 12), "name", "label", "defflags", "flags" (the layout's
// alignment flags, TTextLayout::kCenter ...), "padding" (extra pixels between lines),
// "rotation" (degrees), "rotationOriginX", "rotationOriginY" and "rotationAlign" (the
// origin's align bits, as "align").

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/ui/window/TLabelWindow.h"
#include "engine/ui/window/TWindow.h"

#include <memory>

class TTextLayout;

class TText : public TWindow, public TLabelWindow
{
public:
    static constexpr const char* kDefaultFace = "__DEFAULT";
    static constexpr unsigned int kDefaultFontSize = 16;
    // What a style's font size of 0 becomes.
    static constexpr unsigned int kSmallFontSize = 12;
    // Log lines: a window 0 wide or high (name, label); a link that names no window of
    // the dialog, or a window that is no button (the link).
    static constexpr const char* kEmptyWindowLog =
        "ui: text '%s' is 0 wide or high and shows no text (label '%s')";
    static constexpr const char* kNoLinkedWindowLog = "ui: text: link %s: no window of that name";
    static constexpr const char* kLinkedWindowNotButtonLog =
        "ui: text: link %s: the window of that name is no button";

    TText();
    ~TText() override;

    static std::unique_ptr<TWindow> Create();
    static TClassId ClassId();
    const char* GetClassName() const override { return "TText"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TWindow::IsKindOf(classId);
    }

    void Init(const TWindowStyle& style) override;
    void Draw() override;
    // position from 0 (the top) to 1 (the last lines that fit at the bottom, plus the
    // scroll bias).
    void SetScroll(float position) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseExit() override;

    // The marked-up text shown; without a layout nothing happens.
    virtual void SetText(const TString& text);
    // The text shown; "" without a layout.
    virtual TString GetText() const;

    // TLabelWindow: the text.
    TString GetLabel() const override { return GetText(); }
    void SetLabel(const TString& text) override { SetText(text); }

    // Makes the layout for label in a box of width x height, takes that size and shows
    // label (through SetText). False, with no layout made, when width or height is 0.
    bool CreateLayout(const TString& label, int width, int height, int flags, const TString& face,
                      unsigned int fontSize, const TColor& colour);
    // Turns the text by degrees about (originX, originY) in window pixels.
    void SetRotation(float degrees, int originX, int originY);
    // Stretches (above 1) or narrows the text along x only; drawing, link hits and bounds
    // follow. Kept across a new layout. The game fits text windows to wide screens with it.
    void SetHorizontalScale(float scale);
    float GetHorizontalScale() const { return mHorizontalScale; }
    // Scale for drawing, hit tests and scrolling (1), and the alpha drawn with (1).
    void SetDrawScale(float scale);
    float GetDrawScale() const { return mDrawScale; }
    void SetDrawAlpha(float alpha);
    float GetDrawAlpha() const { return mDrawAlpha; }

    int GetLineSpacing() const { return mLineSpacing; }
    const TString& GetFontFace() const { return mFace; }
    unsigned int GetFontSize() const { return mFontSize; }
    const TColor& GetFontColor() const { return mColour; }
    // Null for a zero-sized window.
    const TTextLayout* GetLayout() const { return mLayout.get(); }
    // The id of the link the left button went down on; "" when none.
    const TString& GetPressedLink() const { return mPressedLink; }

private:
    void ReadFont(const TWindowStyle& style);
    void ApplyRotation(float degrees, int originX, int originY, int align);
    void PressLinkedButton(const TString& link);

    std::unique_ptr<TTextLayout> mLayout;
    TString mFace = kDefaultFace;
    unsigned int mFontSize = kDefaultFontSize;
    TColor mColour = TColor(0, 1, 0, 1);
    float mDrawScale = 1.0f;
    float mDrawAlpha = 1.0f;
    float mHorizontalScale = 1.0f;
    int mLineSpacing = 0;
    // Added to the first line from which the end fits, so that scrolling to the end shows
    // the last line whole.
    float mScrollBias = 0.5f;
    TString mPressedLink;
};
