#pragma once

// The last step of the pixel pipeline: the alpha test and the blend of source pixels
// (Cs, As) into the target. Configure reads the render states once per draw; Blend then
// writes spans.
//
// The result per channel (alpha included) is Cs * srcFactor + Cd * destFactor, divided
// by 255, rounded to the nearest integer and clamped to 255; without blending it is the
// source. The factors: Zero 0, One 255, SrcColor the source channel (As for alpha),
// InvSrcColor 255 minus it, SrcAlpha As, InvSrcAlpha 255 - As. The factor pairs the
// display handler uses have kernels of their own (TSpanKernels) that give the same bytes.

#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TSpanKernels.h"

#include <cstdint>

class TSpanBlender
{
public:
    // Reads the blend and alpha-test states; false when the alpha test rejects every pixel.
    bool Configure(const TDeviceState& state);
    TBlendKind GetKind() const { return mKind; }

    // Writes count pixels of src, each first taken as (pixel & andMask) | orMask, into dst.
    void Blend(uint32_t* dst, const uint32_t* src, int count, uint32_t andMask,
               uint32_t orMask) const
    {
        if (mSpan != nullptr)
            mSpan(dst, src, count, andMask, orMask, mMinAlpha);
        else
            BlendEach(dst, src, count, andMask, orMask);
    }

    // The general rule for one pixel: the alpha-tested, blended result over d. Kept
    // public as the reference the kernels are measured against.
    uint32_t BlendGeneral(uint32_t s, uint32_t d) const;

private:
    bool PassesTest(uint32_t alpha) const;
    void BlendEach(uint32_t* dst, const uint32_t* src, int count, uint32_t andMask,
                   uint32_t orMask) const;

    TBlendKind mKind = TBlendKind::Copy;
    uint32_t mMinAlpha = 0; // the fast kernels keep pixels with As >= mMinAlpha
    bool mBlend = false;
    TBlend mSrc = TBlend::One;
    TBlend mDest = TBlend::Zero;
    bool mTest = false;
    TCompare mFunc = TCompare::Always;
    uint32_t mRef = 0;
    const TSpanKernels& mKernels = TSpanKernels::Get();
    TSpanKernels::TBlendSpan mSpan = nullptr; // the kind's kernel; null for General
};
