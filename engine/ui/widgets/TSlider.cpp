#include "engine/ui/widgets/TSlider.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/BuildQuad.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TDraw2dScope.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"
#include "engine/graphics/device/TDeviceState.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/widgets/TImage.h"
#include "engine/ui/widgets/WindowPicture.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowStyle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

std::shared_ptr<TTexture> LoadPicture(const TWindow& slider, const TWindowStyle& style,
                                      const char* key)
{
    return LoadWindowPicture(style.GetString(key, ""), 0, DescribeAsker(slider, style));
}

} // namespace

TSlider::TSlider() : mPendingKnob(std::make_unique<TImage>()) {}

TSlider::~TSlider()
{
    if (TWindowServices* manager = GetWindowServices())
        manager->ReleaseCapture(this);
}

std::unique_ptr<TWindow> TSlider::Create()
{
    return std::make_unique<TSlider>();
}

TClassId TSlider::ClassId()
{
    return reinterpret_cast<TClassId>(&TSlider::Create);
}

void TSlider::Init(const TWindowStyle& style)
{
    TWindow::Init(style);
    const double hslider = style.GetNumber("hslider", -1.0);
    if (hslider < 0)
        mHorizontal = style.GetNumber("w", 0) > style.GetNumber("h", 0);
    else
        mHorizontal = style.GetBool("hslider", false);
    SetName(style.GetString("name", ""));
    mScale = static_cast<float>(style.GetNumber("scale", 1.0));
    mCrossOffset = style.GetInt("yoffset", 0);
    SetRailImages(LoadPicture(*this, style, "railtop"), LoadPicture(*this, style, "railmid"),
                  LoadPicture(*this, style, "railbot"));
    SetKnobImages(LoadPicture(*this, style, "sliderimage"),
                  LoadPicture(*this, style, "sliderrollimage"));
    PlaceKnob();
    UpdateSize();
}

std::unique_ptr<TWindow> TSlider::RemoveChild(TWindow* child)
{
    std::unique_ptr<TWindow> removed = TWindow::RemoveChild(child);
    if (removed != nullptr && child == mKnob) {
        mKnob = nullptr;
        mDragging = false;
    }
    return removed;
}

// ---- value ----

void TSlider::SetValue(float value, bool silent)
{
    if (std::isnan(value)) {
        TraceLog(kNotANumberLog, GetName().CStr());
        return;
    }
    mValue = std::clamp(value, 0.0f, 1.0f);
    if (mKnob == nullptr)
        return;
    PlaceKnob();
    if (!silent)
        SendToParent(TMessage::kSliderMoved);
}

void TSlider::SetHorizontal(bool horizontal)
{
    mHorizontal = horizontal;
    UpdateSize();
    PlaceKnob();
}

void TSlider::SendToParent(int type)
{
    if (TWindow* parent = GetParent())
        parent->SendMessage(std::make_unique<TMessage>(type, GetName()));
}

// ---- pictures and size ----

void TSlider::SetRailImages(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                            std::shared_ptr<TTexture> bottom)
{
    mRail[kRailTop] = std::move(top);
    mRail[kRailMiddle] = std::move(middle);
    mRail[kRailBottom] = std::move(bottom);
    UpdateSize();
}

void TSlider::SetKnobImages(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollOver)
{
    mKnobNormal = std::move(normal);
    mKnobRollOver = std::move(rollOver);
    mShowingRollOver = false;
    TImage* knob = mKnob != nullptr ? mKnob : mPendingKnob.get();
    if (knob != nullptr)
        knob->SetImage(mKnobNormal, mScale);
    if (mPendingKnob)
        mKnob = Adopt(std::move(mPendingKnob)); // a plain image never refuses
    UpdateSize();
}

void TSlider::ShowRollOver(bool rollOver)
{
    if (mKnob == nullptr || rollOver == mShowingRollOver)
        return;
    mShowingRollOver = rollOver;
    // Without a roll-over picture the knob keeps its own rather than vanishing.
    mKnob->SetImage(rollOver && mKnobRollOver ? mKnobRollOver : mKnobNormal, mScale);
}

void TSlider::PlaceKnob()
{
    if (mKnob == nullptr)
        return;
    if (mHorizontal) {
        const float along = mValue * static_cast<float>(GetWidth() - mKnob->GetWidth());
        mKnob->MoveTo(static_cast<int>(along), mCrossOffset);
    } else {
        const float along = mValue * static_cast<float>(GetHeight() - mKnob->GetHeight());
        mKnob->MoveTo(mCrossOffset, static_cast<int>(along));
    }
}

void TSlider::UpdateSize()
{
    int thickness = 0;
    for (const std::shared_ptr<TTexture>& part : mRail) {
        if (part)
            thickness = std::max(thickness, static_cast<int>(mScale * part->GetWidth()));
    }
    if (mKnob != nullptr) {
        const int knobAcross = mHorizontal ? mKnob->GetHeight() : mKnob->GetWidth();
        thickness = std::max(thickness, std::abs(mCrossOffset) + knobAcross);
    }
    mThickness = thickness;
    if (mHorizontal)
        SetSize(GetWidth(), thickness);
    else
        SetSize(thickness, GetHeight());
}

// ---- input ----

bool TSlider::IsOnKnob(const TPoint& point) const
{
    return mKnob != nullptr && mKnob->GetRect().Contains(point.x, point.y);
}

void TSlider::ReleaseCapture()
{
    if (TWindowServices* manager = GetWindowServices())
        manager->ReleaseCapture(this);
}

bool TSlider::OnMouseDown(const TPoint& point)
{
    if (mKnob == nullptr)
        return false;
    if (IsOnKnob(point)) {
        mDragging = true;
        if (TWindowServices* manager = GetWindowServices())
            manager->AddCapture(this);
        return true;
    }
    const TRect& knob = mKnob->GetRect();
    const bool before = mHorizontal ? point.x < knob.left : point.y < knob.top;
    SendToParent(before ? TMessage::kSliderPageBack : TMessage::kSliderPageForward);
    return true;
}

bool TSlider::OnMouseMove(const TPoint& point)
{
    ShowRollOver(mDragging || IsOnKnob(point));
    if (mDragging || GetLocalRect().Contains(point.x, point.y)) {
        if (TWindowServices* manager = GetWindowServices())
            manager->AddCapture(this);
    } else {
        ReleaseCapture();
        ShowRollOver(false);
    }
    if (!mDragging)
        return false;
    // A slider without length has one place only: 0 (the division would give NaN).
    const int length = GetLength();
    const int along = mHorizontal ? point.x : point.y;
    SetValue(length > 0 ? static_cast<float>(along) / static_cast<float>(length) : 0.0f, false);
    return true;
}

bool TSlider::OnMouseUp(const TPoint& point)
{
    if (!mDragging)
        return false;
    mDragging = false;
    ShowRollOver(IsOnKnob(point));
    if (!GetLocalRect().Contains(point.x, point.y)) {
        ReleaseCapture();
        ShowRollOver(false);
    }
    SendToParent(TMessage::kSliderReleased);
    return true;
}

bool TSlider::OnMouseExit()
{
    if (mDragging)
        return true;
    ShowRollOver(false);
    ReleaseCapture();
    return true;
}

// ---- drawing ----

void TSlider::Draw()
{
    TDraw2dScope scope;
    if (!scope.HasBegun())
        return;
    TRenderer* renderer = TRenderer::Get();
    renderer->SetBlendMode(kBlendNormal);
    renderer->SetCullMode(TCull::None);
    const auto lengthOf = [this](RailPart part) {
        return mRail[part] ? mRail[part]->GetHeight() : 0;
    };
    const int top = lengthOf(kRailTop);
    const int bottom = lengthOf(kRailBottom);
    const int middle = std::max(0, GetLength() - top - bottom);
    DrawRailPart(mRail[kRailTop], 0, top);
    DrawRailPart(mRail[kRailMiddle], top, middle);
    DrawRailPart(mRail[kRailBottom], top + middle, bottom);
}

void TSlider::DrawRailPart(const std::shared_ptr<TTexture>& texture, int along, int length)
{
    if (!texture || length <= 0)
        return;
    const int across = mHorizontal ? GetHeight() : GetWidth();
    const float left = static_cast<float>((across - texture->GetWidth()) / 2);
    const float right = left + static_cast<float>(texture->GetWidth());
    const float start = static_cast<float>(along);
    const float end = static_cast<float>(along + length);
    // Rail coordinates: x across, y along; a horizontal slider exchanges them.
    TVec2 corners[4] = {TVec2(left, start), TVec2(right, start), TVec2(right, end),
                        TVec2(left, end)};
    if (mHorizontal) {
        for (TVec2& corner : corners)
            std::swap(corner.x, corner.y);
    }
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    texture->GetSurfaceSize(surfaceWidth, surfaceHeight);
    if (surfaceWidth <= 0 || surfaceHeight <= 0)
        return;
    TTexCoordRect texCoords;
    texCoords.right = static_cast<float>(texture->GetWidth()) / static_cast<float>(surfaceWidth);
    texCoords.bottom = static_cast<float>(texture->GetHeight()) / static_cast<float>(surfaceHeight);
    TLitVertex quad[4];
    BuildQuad(TVec2(), quad, corners, texCoords, TMat3(), mAlpha, TColor(1, 1, 1, 1));
    // Two triangles: corners (0,0) (1,0) (0,1) and (1,0) (1,1) (0,1).
    TLitVertex triangles[6] = {quad[0], quad[1], quad[3], quad[1], quad[2], quad[3]};
    TRenderer* renderer = TRenderer::Get();
    renderer->SetTexture(texture);
    renderer->DrawVertices(TPrimitiveType::TriangleList, TVertexArray(triangles, 6));
}
