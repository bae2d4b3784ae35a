#pragma once

// The display handler: the process-wide object behind TRenderer that drives the software
// device. It keeps the 2D state, the viewport stack and the clip rectangle and turns them
// into the device viewport and the 2D projection, draws vertex arrays, binds textures
// with the stage states of the current blend mode, fills rectangles, and draws render
// targets into the corner of the back buffer and copies them into their textures.
//
// The device draws into an in-memory back buffer of the display's size. Its set-up owns
// the display side (TDisplaySetup): it opens the main window's output and gives the
// handler a back buffer of that size, and each frame ended with presentation is shown
// through it. A display opened with OpenBackBuffer alone draws into memory and shows
// nothing (tests, tools).
//
// Coordinates are display pixels, rectangles have exclusive right and bottom edges.
// Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TMat4.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/BlendStates.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TRenderTargetMode.h"
#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TPrimitiveType.h"
#include "engine/graphics/device/TSoftwareDevice.h"
#include "engine/graphics/device/TSurface.h"

#include <cstdint>
#include <memory>
#include <vector>

class TDisplaySetup;
class TRenderer;
class TTexture;
class TVertexArray;

class TDxDisplayHandler
{
public:
    // Logged by a viewport pop with nothing pushed.
    static constexpr const char* kViewportPopWithoutPushLog =
        "graphics: display: viewport pop without a push; ignored";

    // Made by its renderer, which it calls back for the renderer's own state (current
    // texture, clip rectangle, 2D state). Registers the instance Get answers.
    static std::unique_ptr<TDxDisplayHandler> Create(TRenderer& renderer);
    static TDxDisplayHandler* Get();
    ~TDxDisplayHandler();
    TDxDisplayHandler(const TDxDisplayHandler&) = delete;
    TDxDisplayHandler& operator=(const TDxDisplayHandler&) = delete;

    TDisplaySetup& GetSetup() { return *mSetup; }

    // Makes a fresh back buffer of width x height (transparent black) for the device to
    // draw into; viewport, display rectangle, target area and clip rectangle become the
    // whole of it, the viewport stack empties, the projection is derived anew and the
    // device gets its start-up states. The set-up counts the display as open. False for a
    // side that is not positive (no back buffer then).
    bool OpenBackBuffer(int width, int height);
    // Drops the back buffer (and any frame under way). Viewport, display rectangle, target
    // area and clip rectangle become nextWidth x nextHeight, the size the set-up is about
    // to open, which it asks again (GetDisplayRect) when that open fails.
    void CloseBackBuffer(int nextWidth, int nextHeight);
    TSurface* GetBackBuffer() { return mBackBuffer.get(); }
    TSoftwareDevice& GetDevice() { return mDevice; }
    TRect GetDisplayRect() const { return mDisplayRect; }

    // Finds the texel offset that maps texels exactly onto pixels, once per handler.
    void CalibrateTexelOffset();

    // The back buffer exists and the set-up counts the display as open.
    bool IsValid() const;
    // Whether the device takes only square textures. The software device takes any size;
    // tests set it to see what the texture code does on a device that does not.
    bool IsSquareTexturesOnly() const { return mSquareTexturesOnly; }
    void SetSquareTexturesOnly(bool squareOnly) { mSquareTexturesOnly = squareOnly; }

    // Frames: BeginDraw refuses (false) on a display that is not valid; EndDraw closes the
    // frame and shows it through the set-up when present is set (false when it could not
    // be shown).
    bool BeginDraw(bool wait);
    bool EndDraw(bool present);
    bool IsInScene() const { return mInScene; }

    // The 2D state: Begin2d sets specular and clipping off, clamp addressing, the normal
    // blend mode, linear filtering, depth off, no culling, identity world and view; End2d
    // unbinds the renderer's texture.
    bool Begin2d();
    void End2d();

    void SetCullMode(TCull mode);
    // The filter of minification, magnification and mip levels alike.
    void SetFilter(TFilter filter);
    void SetShadeMode(TShade mode);
    void SetZEnable(bool enable);
    void SetZWriteEnable(bool enable);
    void SetAmbient(const TColor& color);
    void SetMaterial(const TMaterial& material);
    void SetWorldTransform(const TMat4& matrix);
    void SetViewTransform(const TMat4& matrix);
    void SetProjection(const TMat4& matrix);

    // The offset added to 2D positions so that texel centres fall on pixel centres; -0.5
    // until calibrated.
    float GetTexelOffset() const { return mTexelOffset; }
    void SetTexelOffset(float offset);

    TRect GetViewport() const { return mViewport; }
    void SetViewport(const TRect& viewport);
    void PushViewport(const TRect& viewport);
    // Puts the last pushed viewport back; a pop without a push is logged and ignored.
    void PopViewport();
    void SetClipRect(const TRect& clip);
    // The device viewport becomes viewport and clip rectangle, cut to the display.
    bool ApplyViewport();

    void DrawVertices(TPrimitiveType type, const TVertexArray& vertices);
    // Spans in target pixels, as a line list of pre-transformed vertices would draw them.
    void DrawSpans(const TDeviceSpan* spans, int count);
    void DrawIndexedVertices(TPrimitiveType type, const uint16_t* indices,
                             const TVertexArray& vertices, int indexCount);
    // Binds texture (null unbinds) and applies the stage states of the current blend mode.
    void SetTexture(const std::shared_ptr<TTexture>& texture);
    // Fills rect with color: into target (texel coordinates), or outside a frame into the
    // back buffer cut to the clip rectangle, as raw pixels; inside a frame as an opaque
    // quad (in an alpha target: the colour's alpha as coverage).
    void FillRect(const TRect& rect, const TColor& color, const std::shared_ptr<TTexture>& target);

    // Blend modes and their stage states; options "new_subtractive" and
    // "new_render_blend" (on when the value's integer is above 0).
    void SetBlendMode(TBlendMode mode);
    TBlendMode GetBlendMode() const { return mBlendMode; }
    void ApplyStageStates(TBlendMode mode);
    void SetOption(const TString& key, const TString& value);
    TBlendOptions GetBlendOptions() const { return {mNewSubtractive, mNewRenderBlend}; }

    // Render targets: drawing goes into the back buffer's top-left corner with the
    // viewport set to the texture's size, and EndRenderTarget copies it into the texture
    // (at most the display's size).
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, TRenderTargetMode mode);
    void EndRenderTarget();
    bool IsInAlphaTarget() const;

private:
    explicit TDxDisplayHandler(TRenderer& renderer);

    void SetStartUpState();
    bool SetDeviceViewport(const TRect& rect);
    // Lighting off, and the 2D projection derived when it is due.
    void PrepareVertexFormat(bool screenVertices);
    void CopyBackBufferToTexture(TTexture& texture, const TRect& region);
    void CopyBackBufferToAlpha(TTexture& texture, const TRect& region);

    TRenderer& mRenderer;
    TSoftwareDevice mDevice;
    std::unique_ptr<TSurface> mBackBuffer;
    std::shared_ptr<TTexture> mBoundTexture; // kept alive while the device reads it

    std::vector<TRect> mViewportStack; // the most recent last
    TRect mViewport;
    TRect mDisplayRect;
    TRect mClipRect;
    TRect mTargetArea;
    bool mProjectionDirty = true;
    TMat4 mProjection;
    float mTexelOffset = -0.5f;
    bool mTexelCalibrated = false;
    bool mZEnable = false;
    bool mZWriteEnable = false;

    // Normal until set: the stage states of a texture bound before any mode are normal's.
    TBlendMode mBlendMode = kBlendNormal;
    bool mNewSubtractive = false;
    bool mNewRenderBlend = false;

    std::shared_ptr<TTexture> mTargetTexture;
    TRenderTargetMode mTargetMode = TRenderTargetMode::Opaque;

    bool mSquareTexturesOnly = false;
    bool mInScene = false;

    std::unique_ptr<TDisplaySetup> mSetup;
};
