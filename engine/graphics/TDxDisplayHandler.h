#pragma once

// The display handler: the process-wide object behind TRenderer that drives the software
// device. It keeps the 2D state, the viewport stack and the clip rectangle and turns them
// into the device viewport and the 2D projection, draws vertex arrays, binds textures
// with the stage states of the current blend mode, fills rectangles, and draws render
// targets into the corner of the back buffer and copies them into their textures.
//
// The device draws into an in-memory back buffer of the display's size. The display side
// opens the main window's output at a size and mode through the device context
// (TDXContext), with its decisions: a window that cannot fit forces full screen, one
// windowed <-> full-screen fallback is tried, the display is marked broken (no frame is
// drawn until a later set-up or restore works) or fatal (the next set-up ends the
// process). Each frame ended with presentation is shown in the window; a failure to show
// it marks the display for the event pump's restore. A display opened with
// OpenBackBuffer alone draws into memory and shows nothing (tests, tools).
//
// "common:display.xml" (element "Settings", attribute LowMemoryVideo "1") is read when
// the handler is made: a machine that once ran out of video memory keeps to full screen.
//
// Coordinates are display pixels, rectangles have exclusive right and bottom edges.
// Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TMat4.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TRenderTargetMode.h"
#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TPrimitiveType.h"
#include "engine/graphics/device/TSoftwareDevice.h"
#include "engine/graphics/device/TSurface.h"
#include "engine/platform/TDisplayOutput.h"

#include <cstdint>
#include <memory>
#include <vector>

class TDXContext;
class TRenderer;
class TTexture;
class TVertexArray;

class TDxDisplayHandler
{
public:
    // Made by its renderer, which it calls back for the renderer's own state (current
    // texture, clip rectangle, 2D state). Registers the instance Get answers.
    static std::unique_ptr<TDxDisplayHandler> Create(TRenderer& renderer);
    static TDxDisplayHandler* Get();
    ~TDxDisplayHandler();
    TDxDisplayHandler(const TDxDisplayHandler&) = delete;
    TDxDisplayHandler& operator=(const TDxDisplayHandler&) = delete;

    // Makes a fresh back buffer of width x height (transparent black) for the device to
    // draw into; viewport, display rectangle, target area and clip rectangle become the
    // whole of it, the viewport stack empties, the projection is derived anew and the
    // device gets its start-up states. Clears broken. False for a side that is not
    // positive (no back buffer then).
    bool OpenBackBuffer(int width, int height);
    TSurface* GetBackBuffer() { return mBackBuffer.get(); }
    TSoftwareDevice& GetDevice() { return mDevice; }
    TRect GetDisplayRect() const { return mDisplayRect; }

    // Opens the display at width x height, windowed or full screen. force acts even when
    // nothing changed or the application is inactive; quiet keeps the informational
    // message boxes back; childWindow leaves the window's mode alone (never the case
    // here). See the definition for the decisions.
    void SetDisplay(int width, int height, bool fullScreen, bool force, bool quiet,
                    bool childWindow);
    // Switches between full screen and a window of the current size. Refuses (false) a
    // window that would not fit on the desktop, or a machine short of video memory.
    bool SetFullScreen(bool fullScreen);
    bool IsFullScreen() const { return mFullScreen; }
    // Gets a display that stopped working back: rebuilds it (SetDisplay) when it is
    // closed or fewer than 3 frames were drawn since the last recovery, else makes the
    // output's surfaces anew and restores the assets. The event pump calls it while the
    // display is not valid.
    void Restore();
    // Every live asset rebuilds its surfaces, the platform's refresh tasks run once and
    // the windows are invalidated; only on a valid display (else logged).
    void RestoreAssets();
    // The desktop mode changed while the application was inactive.
    void UpdateDesktopMode();
    // Vertical sync of windowed presentation (the "vsync" setting).
    void SetVSync(bool on);
    // Remembers, once and while a display is open, that the machine ran out of video
    // memory ("common:display.xml"), marks the display broken and asks for the notice.
    void OutOfVideoMemory();
    // Finds the texel offset that maps texels exactly onto pixels, once per handler.
    void CalibrateTexelOffset();
    TDXContext& GetContext() { return *mContext; }

    // The back buffer exists and the display is not marked broken.
    bool IsValid() const;
    void MarkBroken();
    // Marks broken only when the last marking is more than 250 ms old.
    void MarkBrokenThrottled();
    // Whether the device takes only square textures. The software device takes any size;
    // tests set it to see what the texture code does on a device that does not.
    bool IsSquareTexturesOnly() const { return mSquareTexturesOnly; }
    void SetSquareTexturesOnly(bool squareOnly) { mSquareTexturesOnly = squareOnly; }

    // Frames: BeginDraw refuses (false) without a back buffer or while broken; EndDraw
    // closes the frame and shows it when present is set.
    bool BeginDraw(bool wait);
    bool EndDraw(bool present);
    bool IsInScene() const { return mInScene; }
    void ResetWorkingCount() { mWorkingCount = 0; }

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

    // Render targets: drawing goes into the back buffer's top-left corner with the
    // viewport set to the texture's size, and EndRenderTarget copies it into the texture
    // (at most the display's size).
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, TRenderTargetMode mode);
    void EndRenderTarget();
    bool IsInAlphaTarget() const;

private:
    explicit TDxDisplayHandler(TRenderer& renderer);

    void ReadDisplaySettings();
    bool OpenDisplay(int width, int height, bool fullScreen, bool quiet);
    void OnDisplayOpened(int width, int height, bool fullScreen, bool childWindow);
    void FallBack(int width, int height, bool fullScreen, bool quiet, bool active);
    void CloseBackBuffer();
    void ShowMessage(TDisplayOutput::TMessageIcon icon, const char* caption, const char* text);
    bool IsActiveForSetup() const;

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
    bool mZEnable = false;
    bool mZWriteEnable = false;

    // Normal until set: the stage states of a texture bound before any mode are normal's.
    TBlendMode mBlendMode = kBlendNormal;
    bool mNewSubtractive = false;
    bool mNewRenderBlend = false;

    std::shared_ptr<TTexture> mTargetTexture;
    TRenderTargetMode mTargetMode = TRenderTargetMode::Opaque;

    bool mSquareTexturesOnly = false;
    bool mBroken = false;
    uint32_t mBrokenTime = 0;
    bool mInScene = false;
    int mWorkingCount = 0;

    std::unique_ptr<TDXContext> mContext;
    bool mFullScreen = false;
    bool mFatal = false;          // the next SetDisplay ends the process
    bool mFallbackTried = false;  // since the last display that opened
    bool mBeenFullScreen = false; // a full-screen display opened once
    bool mLowVideoMemory = false;
    bool mReconfigureNotice = false;
    bool mInSetup = false;
    bool mRestoring = false;
    bool mTexelCalibrated = false;
    bool mCursorOffered = false; // the first display asked the platform for a cursor
};
