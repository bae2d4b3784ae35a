#pragma once

// A window that shows one texture (window type "Bitmap"), scaled, mirrored or turned a
// quarter turn. It sizes itself to the scaled picture. Buttons use images for their
// states; scripts change the picture with _SetBitmap and test it with ImageLoaded.
//
// NOTE: an image is opaque unless its style says "alpha" = true. An opaque image of its
// dialog's full size makes the dialog opaque, which hides the dialogs below it: a
// translucent full-screen panel needs "alpha" = true.
//
// Style keys (read by Init before the name and rectangle): "image" and "mask" (file
// names; with both, the mask's red channel is the alpha), "scale" (1), "alpha" (false),
// "mipmap" (false), "hflip", "vflip" and "rotate" (false).

#include "engine/ui/window/TWindow.h"

#include <memory>

class TTexture;

class TImage : public TWindow
{
public:
    // Flip bits.
    static constexpr int kFlipHorizontal = 1;
    static constexpr int kFlipVertical = 2;

    // Opaque, without a picture.
    TImage();

    static std::unique_ptr<TWindow> Create();
    static TClassId ClassId();
    const char* GetClassName() const override { return "TImage"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TWindow::IsKindOf(classId);
    }

    void Init(const TWindowStyle& style) override;
    void Draw() override;

    // Shows texture (empty: nothing) at scale; with a texture the window takes the
    // picture's size times scale, rounded (width and height exchanged when turned).
    void SetImage(std::shared_ptr<TTexture> texture, float scale);
    // kFlipHorizontal, kFlipVertical.
    void SetFlip(int bits);
    void SetRotate(bool rotate);
    const std::shared_ptr<TTexture>& GetTexture() const { return mTexture; }
    float GetScale() const { return mScale; }

private:
    void FitToPicture();

    std::shared_ptr<TTexture> mTexture;
    float mScale = 1.0f;
    int mFlip = 0;
    bool mRotate = false;
};
