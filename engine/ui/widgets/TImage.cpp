#include "engine/ui/widgets/TImage.h"

#include "engine/graphics/DrawState.h"
#include "engine/graphics/TDraw2dScope.h"
#include "engine/graphics/TTexture.h"
#include "engine/ui/widgets/WindowPicture.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowStyle.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

// side x scale rounded (0.5 added, then truncated), held to the int range.
int ScaledSide(int side, float scale)
{
    const double value = static_cast<double>(side) * scale + 0.5;
    if (std::isnan(value))
        return 0;
    return static_cast<int>(
        std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

} // namespace

TImage::TImage()
{
    SetFlags(GetFlags() | kOpaque);
}

std::unique_ptr<TWindow> TImage::Create()
{
    return std::make_unique<TImage>();
}

TClassId TImage::ClassId()
{
    return reinterpret_cast<TClassId>(&TImage::Create);
}

void TImage::Init(const TWindowStyle& style)
{
    const TString image = style.GetString("image", "");
    const TString mask = style.GetString("mask", "");
    const float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    const bool alpha = style.GetBool("alpha", false);
    const bool mipmap = style.GetBool("mipmap", false);
    int flip = 0;
    if (style.GetBool("hflip", false))
        flip |= kFlipHorizontal;
    if (style.GetBool("vflip", false))
        flip |= kFlipVertical;
    mFlip = flip;
    mRotate = style.GetBool("rotate", false);
    if (alpha)
        SetFlags(GetFlags() & ~kOpaque);

    const int flags = (alpha ? TTexture::kGetAlpha : 0) | (mipmap ? TTexture::kGetMipmap : 0);
    SetImage(LoadWindowPicture(image, mask, flags, DescribeAsker(*this, style)), scale);
    TWindow::Init(style);
}

void TImage::Draw()
{
    if (!mTexture)
        return;
    TDraw2dScope scope;
    if (!scope.HasBegun())
        return;
    DrawState state(TVec2(), 1.0f, mScale, mFlip | DrawState::kUseOrigin);
    if (mRotate) {
        // A quarter turn takes the picture's x axis down the window and its y axis to
        // the left; moving it right by its turned width puts it back inside the window.
        state.matrix.Rotate(std::numbers::pi_v<float> / 2.0f);
        state.matrix.Row(2) = TVec3(static_cast<float>(mTexture->GetHeight()) * mScale, 0.0f, 1.0f);
    }
    mTexture->Draw(state);
}

void TImage::SetImage(std::shared_ptr<TTexture> texture, float scale)
{
    mTexture = std::move(texture);
    mScale = scale;
    FitToPicture();
    InvalidateWindows();
}

void TImage::SetFlip(int bits)
{
    mFlip = bits & (kFlipHorizontal | kFlipVertical);
    InvalidateWindows();
}

void TImage::SetRotate(bool rotate)
{
    if (rotate != mRotate) {
        mRotate = rotate;
        FitToPicture();
    }
    InvalidateWindows();
}

void TImage::FitToPicture()
{
    if (!mTexture)
        return;
    const int width = ScaledSide(mTexture->GetWidth(), mScale);
    const int height = ScaledSide(mTexture->GetHeight(), mScale);
    if (mRotate)
        SetSize(height, width);
    else
        SetSize(width, height);
}
