#pragma once

// How a drawn image mixes with what is under it (an int: scripts pass these numbers, and
// a value outside 0..4 is kept without changing the blend states).
enum TBlendMode : int
{
    kBlendNormal = 0,         // source alpha over the destination
    kBlendOpaque = 1,         // no blending
    kBlendAdditiveAlpha = 2,  // source x alpha added to the destination
    kBlendSubtractive = 3,    // destination darkened by the source colour
    kBlendMultiplicative = 4, // destination multiplied by the source colour
};
