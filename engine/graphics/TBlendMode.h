#pragma once

// How a drawn image mixes with what is under it. Scripts name the modes by these numbers
// (the particle library's kBlend constants); a binding turns a script's number into a mode
// with BlendModeFromNumber and refuses any other.

#include <optional>

enum TBlendMode : int
{
    kBlendNormal = 0,         // source alpha over the destination
    kBlendOpaque = 1,         // no blending
    kBlendAdditiveAlpha = 2,  // source x alpha added to the destination
    kBlendSubtractive = 3,    // destination darkened by the source colour
    kBlendMultiplicative = 4, // destination multiplied by the source colour
};

// The mode numbered number; empty for a number outside 0..4.
constexpr std::optional<TBlendMode> BlendModeFromNumber(int number)
{
    if (number < kBlendNormal || number > kBlendMultiplicative)
        return std::nullopt;
    return static_cast<TBlendMode>(number);
}
