#pragma once

// A horizontal or vertical slider (window type "Slider") holding a value from 0 to 1: a
// rail drawn from three pictures (top cap, stretched middle, bottom cap) and a knob (a
// TImage child) that the player drags. The rail pictures are drawn for a vertical slider
// (x across the rail, y along it); a horizontal slider shows them transposed.
//
// Messages, all sent at once to the slider's parent and named after the slider: every
// change of the value while dragging (and every SetValue that is not silent) sends
// kSliderMoved, releasing the knob kSliderReleased, and a press on the rail before or
// after the knob kSliderPageBack or kSliderPageForward (the knob stays; the dialog
// decides what a page is).
//
// Style keys, read by Init after the name and rectangle: "hslider" (absent or negative:
// horizontal when "w" is greater than "h"; otherwise true or a non-zero number means
// horizontal), "railtop", "railmid", "railbot", "sliderimage", "sliderrollimage" (picture
// names), "scale" (1: the knob's scale and the rail's thickness) and "yoffset" (0: the
// knob's place across the rail). The slider keeps its length and takes the thickness of
// its pictures across.
//
// Main thread only.

#include "engine/ui/window/TWindow.h"

#include <array>
#include <memory>

class TImage;
class TTexture;

class TSlider : public TWindow
{
public:
    // Logged when a value that is not a number is refused (the slider's name).
    static constexpr const char* kNotANumberLog =
        "ui: slider %s: a value that is not a number was refused";

    // The knob is made now and joins the slider with its first pictures (SetKnobImages).
    TSlider();
    // Releases the capture.
    ~TSlider() override;

    static std::unique_ptr<TWindow> Create();
    static TClassId ClassId();
    const char* GetClassName() const override { return "TSlider"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TWindow::IsKindOf(classId);
    }

    void Init(const TWindowStyle& style) override;
    void Draw() override;
    std::unique_ptr<TWindow> RemoveChild(TWindow* child) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseExit() override;

    float GetValue() const { return mValue; }
    // Stores value held to 0..1 (NaN is refused, logged) and, with a knob, places it and
    // sends kSliderMoved to the parent unless silent.
    void SetValue(float value, bool silent);
    bool IsHorizontal() const { return mHorizontal; }
    void SetHorizontal(bool horizontal);
    bool IsDragging() const { return mDragging; }

    void SetRailImages(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                       std::shared_ptr<TTexture> bottom);
    // The knob shows normal (rollOver while the pointer is on it or drags it; normal when
    // there is no roll-over picture) and joins the slider when it has not yet.
    void SetKnobImages(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollOver);
    // Null until the knob joined the slider, and after it was taken out.
    TImage* GetKnob() const { return mKnob; }
    // Puts the knob at the value's place along the rail, at the cross offset across it.
    void PlaceKnob();
    // Thickness from the rail pictures (at the scale) and the knob; the length stays.
    void UpdateSize();
    int GetThickness() const { return mThickness; }

private:
    enum RailPart
    {
        kRailTop = 0,
        kRailMiddle = 1,
        kRailBottom = 2,
        kRailPartCount = 3,
    };

    void ShowRollOver(bool rollOver);
    bool IsOnKnob(const TPoint& point) const;
    int GetLength() const { return mHorizontal ? GetWidth() : GetHeight(); }
    void SendToParent(int type);
    void ReleaseCapture();
    // One rail picture from along to along + length (rail coordinates), centred across.
    void DrawRailPart(const std::shared_ptr<TTexture>& texture, int along, int length);

    std::unique_ptr<TImage> mPendingKnob; // the knob until it joins the slider
    TImage* mKnob = nullptr;              // owned by the child list
    std::shared_ptr<TTexture> mKnobNormal;
    std::shared_ptr<TTexture> mKnobRollOver;
    std::array<std::shared_ptr<TTexture>, kRailPartCount> mRail;
    float mValue = 0.0f;
    float mScale = 1.0f;
    float mAlpha = 1.0f;
    int mCrossOffset = 0;
    int mThickness = 0;
    bool mHorizontal = false;
    bool mDragging = false;
    bool mShowingRollOver = false;
};
