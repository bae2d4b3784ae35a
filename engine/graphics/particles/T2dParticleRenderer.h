#pragma once

// Draws every live particle as a screen-space quad of the texture's size times pScale,
// centred on pPosition (plus the draw position, less half a pixel), turned so that its
// top points along pUp (the default (0, -1) leaves it upright, a longer vector also
// stretches it), tinted by pColor (clamped to 0..1, its alpha times the system's
// opacity). With an animated texture pFrame picks the frame. One triangle list per
// system, indexed (4 vertices a particle) or, with the setting "brokenindexedverts" on,
// 6 vertices a particle without indices; the blend mode is the option "blendmode" (a
// TBlendMode number: normal until set, and any other number is logged and leaves the mode
// as it was) and is set back to normal after drawing.
//
// Record layout: pPosition x, y; pUp x, y; pScale; pColor r, g, b, a; pFrame.
//
// All 2D particle renderers share one vertex and one index buffer that only grow; the
// last renderer to go frees them. Main thread only.

#include "engine/foundation/math/TVec2.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/particles/TParticleRenderer.h"

#include <memory>

class T2dParticleRenderer final : public TParticleRenderer
{
public:
    static constexpr int kAttributeCount = 10;
    static constexpr const char* kInitScript = "pPosition = Allocate(2);\n"
                                               "pUp = Allocate(2);\n"
                                               "pScale = Allocate(1);\n"
                                               "pColor = Allocate(4);\n"
                                               "pFrame = Allocate(1);\n";

    // Reads "brokenindexedverts" now.
    T2dParticleRenderer();
    ~T2dParticleRenderer() override;
    T2dParticleRenderer(const T2dParticleRenderer&) = delete;
    T2dParticleRenderer& operator=(const T2dParticleRenderer&) = delete;

    // Nothing without a display, or for no particles. Outside the 2D state the renderer
    // logs and drops the geometry.
    void Draw(const TVec3& position, float opacity, std::span<float* const> particles) override;
    // A texture also sets the quads' base size to its picture's size.
    void SetTexture(std::shared_ptr<TTexture> texture) override;
    void SetOption(const TString& name, const float values[4]) override;
    const float* GetAttributeDefaults() const override { return kDefaults; }
    int GetAttributeCount() const override { return kAttributeCount; }
    TString GetInitScript() const override { return kInitScript; }

    TBlendMode GetBlendMode() const { return mBlendMode; }
    TVec2 GetTextureSize() const { return mTextureSize; }
    bool IsNonIndexed() const { return mNonIndexed; }

private:
    static constexpr float kDefaults[kAttributeCount] = {0, 0, 0, -1, 1, 1, 1, 1, 1, 0};

    TBlendMode mBlendMode = kBlendNormal;
    TVec2 mTextureSize{1.0f, 1.0f};
    std::shared_ptr<TTexture> mTexture;
    bool mNonIndexed = false;
};
