#pragma once

// Graphics: the renderer and what it draws with. TRenderer is the engine's one drawing
// facade: windows, sprites, text, particles and the game reach the display only through
// it. It opens and closes frames, keeps callers to the 2D state, draws vertex arrays,
// sets blend and cull modes, filtering and the current texture, keeps the clip stack,
// forwards the viewport stack and render targets, fills rectangles and measures the
// frame rate. Misordered calls are logged and dropped instead of reaching the display.
//
// Underneath: the display handler (TDxDisplayHandler) and the software device
// (engine/graphics/device). Depends on the foundation (settings, timer, log, maths).
// On demand (Alt+F1) it draws a statistics overlay in the top-left corner.
//
// Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TRenderTargetMode.h"
#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TPrimitiveType.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TDxDisplayHandler;
class TProcessMemory;
struct TDeviceSpan;
class TOverlayText;
class TTexture;
class TVertexArray;

class TRenderer
{
public:
    // Log lines of calls out of order; kOutside2dLog names the drawing call.
    static constexpr const char* kBegin2dTwiceLog =
        "graphics: renderer: Begin2d while 2D drawing is already on; refused";
    static constexpr const char* kEnd2dAloneLog =
        "graphics: renderer: End2d without Begin2d; ignored";
    static constexpr const char* kOutside2dLog =
        "graphics: renderer: %s outside Begin2d and End2d; nothing drawn";

    // The process-wide renderer, made with its display handler on first use.
    static TRenderer* Get();
    // Deletes the renderer and its display handler; the next Get makes a new one.
    static void Destroy();
    ~TRenderer();
    TRenderer(const TRenderer&) = delete;
    TRenderer& operator=(const TRenderer&) = delete;

    TDxDisplayHandler& GetDisplayHandler() { return *mDisplay; }

    // A frame: the window manager brackets each drawn frame with BeginDraw (false) and
    // EndDraw (true). EndDraw also records the frame's end for the frame rate.
    bool BeginDraw(bool wait);
    bool EndDraw(bool present);

    // The 2D state. Begin2d while in it logs and answers false; End2d outside it logs.
    bool Begin2d();
    void End2d();
    bool IsIn2d() const { return mIn2d; }
    // In a frame or in a render target.
    bool IsDrawing() const { return mInScene || mInRenderTarget; }

    // Drawn only in the 2D state (else logged and dropped).
    void DrawVertices(TPrimitiveType type, const TVertexArray& vertices);
    void DrawIndexedVertices(TPrimitiveType type, const uint16_t* indices,
                             const TVertexArray& vertices, int indexCount);
    // Horizontal spans of one colour each in screen pixels, drawn as a line list of
    // pre-transformed vertices at their ends would be, but without vertices (text).
    void DrawSpans(const TDeviceSpan* spans, int count);

    void SetBlendMode(TBlendMode mode);
    void SetCullMode(TCull mode);
    void SetFilter(TFilter filter);
    // Makes texture the current texture and binds it; a simple texture counts as none.
    void SetTexture(std::shared_ptr<TTexture> texture);
    std::shared_ptr<TTexture> GetTexture() const { return mTexture; }
    bool IsSquareTexturesOnly() const;
    // Display options ("new_subtractive", "new_render_blend"); other keys change nothing.
    void SetOption(const TString& key, const TString& value);

    // Viewports (pushes and pops must pair) and the clip stack, in screen pixels.
    TRect GetViewport() const;
    void PushViewport(const TRect& viewport);
    void PopViewport();
    void PushClipRect(const TRect& clip);
    // Replaces the last clip rectangle (pushes when there is none).
    void SetClipRect(const TRect& clip);
    // Removes the last clip rectangle unless it is the only one.
    void PopClipRect();
    // The clip rectangle in force, or (0, 0, 0, 0) when there is none.
    TRect GetClipRect() const;

    // Draws into texture until EndRenderTarget. Refused (false) for a simple texture, in
    // a frame or in another render target.
    bool BeginRenderTarget(std::shared_ptr<TTexture> texture,
                           TRenderTargetMode mode = TRenderTargetMode::Opaque);
    void EndRenderTarget();

    // Fills rect with color: in texel coordinates of target, or without one relative to
    // the viewport and cut to it.
    void FillRect(const TRect& rect, const TColor& color,
                  const std::shared_ptr<TTexture>& target = nullptr);

    // Flips the statistics overlay; answers its previous state.
    bool ToggleStats();
    // What the overlay's text is drawn with (the text layer's, set by InstallGraphics);
    // without a factory the overlay is its dark box alone.
    using TOverlayTextFactory = std::function<std::unique_ptr<TOverlayText>()>;
    static void SetOverlayTextFactory(TOverlayTextFactory factory);
    // The overlay's text: version, frame rate, sprites (the setting
    // "current_sprite_count"; missing reads 0), the process's memory in RAM (its resident
    // set; "?" when the system cannot say) and the memory of the cached textures'
    // surfaces, both in kilobytes.
    TString FormatStats() const;
    // Measured over the last 15 frame ends; 0 until 15 frames have ended.
    float GetFramesPerSecond() const { return mFramesPerSecond; }

private:
    TRenderer();
    void RecordFrameEnd();
    // Draws the overlay into the top-left corner of the screen.
    void DrawStats();

    static constexpr int kFrameRing = 15;

    std::unique_ptr<TDxDisplayHandler> mDisplay;
    uint32_t mRingIndex = 0;
    float mFramesPerSecond = 0.0f;
    uint32_t mFrameEnds[kFrameRing] = {};
    bool mStatsOn = false;
    std::unique_ptr<TOverlayText> mStatsText;
    std::unique_ptr<TProcessMemory> mProcessMemory;
    std::shared_ptr<TTexture> mTexture;
    std::vector<TRect> mClipStack;
    bool mIn2d = false;
    bool mInScene = false;
    bool mInRenderTarget = false;
};
