#pragma once

// What draws a particle system's live particles, and what every particle starts with: a
// renderer's attributes are the first floats of every record (its init script declares
// them before the effect script runs, and its default block fills them in every new
// particle).

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TVec3.h"

#include <memory>
#include <span>

class TTexture;

class TParticleRenderer
{
public:
    virtual ~TParticleRenderer() = default;

    // Draws particles (records of the system's layout) at position, with every alpha
    // multiplied by opacity.
    virtual void Draw(const TVec3& position, float opacity, std::span<float* const> particles) = 0;
    // The picture of every particle (null for none); kept until the next call.
    virtual void SetTexture(std::shared_ptr<TTexture> texture) = 0;
    // A renderer option by name, with up to four numbers; unknown names change nothing.
    virtual void SetOption(const TString& name, const float values[4]) = 0;
    // The first GetAttributeCount floats of every new particle.
    virtual const float* GetAttributeDefaults() const = 0;
    virtual int GetAttributeCount() const = 0;
    // Lua source declaring the renderer's attributes (run before the effect script).
    virtual TString GetInitScript() const = 0;
};
