#include "engine/graphics/TTextureData.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/TDisplaySetup.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/image/ImageFile.h"
#include "engine/graphics/image/TDecodedImage.h"

#include <algorithm>
#include <cstring>

namespace {

bool Contains(const TString& text, const char* part)
{
    return text.Find(part) >= 0;
}

bool HasImageExtension(const TString& name)
{
    return Contains(name, ".png") || Contains(name, ".jpg");
}

// The flags with the words of an options text ("?alpha,mipmap") applied; each word is
// found anywhere in the text, so "?simpleton" asks for a simple texture.
uint8_t WithOptions(uint8_t flags, const TString& options)
{
    if (Contains(options, "slow"))
        flags |= TTextureData::kSlow | TTextureData::kSimple;
    if (Contains(options, "simple"))
        flags |= TTextureData::kSimple;
    if (Contains(options, "alpha")) {
        flags |= TTextureData::kAlpha;
        flags &= ~TTextureData::kAlphaFromImage;
    }
    if (Contains(options, "mipmap"))
        flags |= TTextureData::kMipmap;
    return flags;
}

int PowerOfTwoAtLeast(int side)
{
    int power = 1;
    while (power < side)
        power *= 2;
    return power;
}

bool IsSquareTexturesOnly()
{
    const TDxDisplayHandler* display = TDxDisplayHandler::Get();
    return display != nullptr && display->IsSquareTexturesOnly();
}

void MarkDisplayBroken()
{
    if (TDxDisplayHandler* display = TDxDisplayHandler::Get())
        display->GetSetup().MarkBrokenThrottled();
}

TSurface* BackBuffer()
{
    TDxDisplayHandler* display = TDxDisplayHandler::Get();
    return display != nullptr ? display->GetBackBuffer() : nullptr;
}

// Whether the image file a name stands for is there: the name cut at its first "?", as
// it is or with ".png" or ".jpg" added.
bool ImageFileExists(const TString& name)
{
    const int options = name.FindChar('?');
    const TString bare = options >= 0 ? name.Substr(0, options) : name;
    return FileExists(bare) || FileExists(bare + ".png") || FileExists(bare + ".jpg");
}

} // namespace

void TTextureData::SetImageSize(int width, int height)
{
    mImageWidth = width;
    mImageHeight = height;
}

void TTextureData::GetSurfaceSize(int& width, int& height) const
{
    width = (mImageWidth + 2 * mBorderX + 1) & ~1;
    height = (mImageHeight + 2 * mBorderY + 1) & ~1;
}

bool TTextureData::Load(const TString& fileName, const TString& maskName)
{
    TString name = fileName;
    TString options;
    const int question = fileName.FindChar('?', TString::kBackwards);
    if (question >= 0) {
        options = fileName.Substr(question);
        name = fileName.Substr(0, question);
        mFlags = WithOptions(mFlags, options);
    }
    if (FileExists(name))
        return LoadFound(name, options, maskName);
    if (HasImageExtension(name))
        return false;
    return Load(name + ".png" + options, maskName) || Load(name + ".jpg" + options, maskName);
}

// name is an existing file; options is the text from its "?" on, or empty.
bool TTextureData::LoadFound(const TString& name, const TString& options, const TString& maskName)
{
    // Without "slow" the limit goes to the readers, which refuse a larger picture from its
    // header before decoding a byte of it.
    const int maxSide = (mFlags & kSlow) != 0 ? TDecodedImage::kMaxSide : kMaxLoadSide;
    TDecodedImage image;
    if (!ReadImageFile(name, image, maxSide))
        return false;
    if (Contains(name, ".png") && (mFlags & kAlphaFromImage) != 0)
        mFlags = image.HasAlpha() ? (mFlags | kAlpha) : (mFlags & ~kAlpha);
    if (maskName.Length() > 0) {
        if (!FileExists(maskName)) {
            image.Reset();
            if (HasImageExtension(maskName))
                return false;
            return Load(name + options, maskName + ".jpg") ||
                   Load(name + options, maskName + ".png");
        }
        // A mask file whose name has neither extension is ignored.
        if (HasImageExtension(maskName)) {
            TDecodedImage mask;
            if (!ReadImageFile(maskName, mask, maxSide))
                return false;
            image.TakeAlphaFrom(mask);
        }
    }

    // Within maxSide the square and the height stay within it too.
    const int side = image.GetSize();
    const int height =
        IsSquareTexturesOnly() && !IsSimple() ? side : PowerOfTwoAtLeast(image.GetHeight());
    if (!CreateSurface(side, height, false))
        return false;
    mBorderX = (side - image.GetWidth()) / 2;
    mBorderY = (height - image.GetHeight()) / 2;
    SetImageSize(image.GetWidth(), image.GetHeight());
    SetPixels(side, height, image.GetPixels());
    mSourceName = name + options;
    mMaskName = maskName;
    return true;
}

bool TTextureData::CreateSurface(int width, int height, bool)
{
    mLocked = false;
    SetImageSize(width, height);
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
        TraceLog("graphics: texture: cannot make a %dx%d surface", width, height);
        mSurface.reset();
        return false;
    }
    if (!IsSimple() && width != height && IsSquareTexturesOnly()) {
        const int side = std::max({2, PowerOfTwoAtLeast(width), PowerOfTwoAtLeast(height)});
        width = side;
        height = side;
    }
    mSurface = std::make_unique<TSurface>(width, height);
    KeepOpaque(mSurface->GetBounds());
    return true;
}

void TTextureData::ReleaseSurface()
{
    mSurface.reset();
    mLocked = false;
}

void TTextureData::Restore()
{
    if (mSurface)
        return;
    if (mSourceName.Length() > 0) {
        RestoreFromFiles();
        return;
    }
    if (!CreateSurface(mImageWidth, mImageHeight, true)) {
        TraceLog(
            "graphics: texture: cannot remake its %dx%d surface (border %d,%d) for the display",
            mImageWidth, mImageHeight, mBorderX, mBorderY);
        MarkDisplayBroken();
    }
}

void TTextureData::RestoreFromFiles()
{
    // Load replaces the names when it succeeds; keep them for the messages.
    const TString source = mSourceName;
    const TString mask = mMaskName;
    if (Load(source, mask))
        return;
    const bool hasMask = mask.Length() > 0;
    if (hasMask)
        TraceLog(kRereadPairFailedLog, source.CStr(), mask.CStr());
    else
        TraceLog(kRereadFailedLog, source.CStr());
    // A file that is gone will not come back by trying again; otherwise the device, not
    // the data, failed, and the display is restored once more later.
    if (!ImageFileExists(source) || (hasMask && !ImageFileExists(mask)))
        return;
    MarkDisplayBroken();
}

bool TTextureData::SetPixels(int width, int height, const uint32_t* pixels)
{
    if (!mSurface || pixels == nullptr)
        return false;
    const int columns = std::min(width, mSurface->GetWidth());
    const int rows = std::min(height, mSurface->GetHeight());
    if (columns <= 0 || rows <= 0)
        return true;
    for (int y = 0; y < rows; ++y)
        std::memcpy(mSurface->Row(y), pixels + static_cast<size_t>(y) * width,
                    static_cast<size_t>(columns) * sizeof(uint32_t));
    KeepOpaque(TRect(0, 0, columns, rows));
    return true;
}

void TTextureData::Blit(int x, int y, const TRect* source, TTextureData* target)
{
    TSurface* destination = target != nullptr ? target->GetSurface() : BackBuffer();
    if (!mSurface || destination == nullptr)
        return;
    const TRect from = source != nullptr ? *source : TRect(0, 0, mImageWidth, mImageHeight);
    if (destination == mSurface.get()) {
        const TSurface copy = *mSurface; // the areas may overlap
        destination->Copy(copy, from, x, y);
    } else {
        destination->Copy(*mSurface, from, x, y);
    }
    if (target != nullptr)
        target->KeepOpaque(TRect(x, y, x + (from.right - from.left), y + (from.bottom - from.top)));
}

void TTextureData::Clear()
{
    if (!mSurface)
        return;
    mSurface->Fill(mSurface->GetBounds(), 0);
    KeepOpaque(mSurface->GetBounds());
}

bool TTextureData::Lock(uint32_t*& pixels, int& pitch)
{
    if (!mSurface || mLocked)
        return false;
    mLocked = true;
    pixels = mSurface->GetPixels();
    pitch = mSurface->GetPitch();
    return true;
}

void TTextureData::Unlock()
{
    if (!mLocked)
        return;
    mLocked = false;
    KeepOpaque(mSurface->GetBounds());
}

void TTextureData::KeepOpaque(const TRect& rect)
{
    if (mSurface && !HasAlpha())
        mSurface->MakeOpaque(rect);
}
