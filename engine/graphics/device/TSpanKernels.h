#pragma once

// The vector kernels of the pixel pipeline: blending, modulating and linear filtering of
// spans. They are built twice, for every x86-64 processor (SSE2, four pixels a step) and
// for processors with AVX2 (eight pixels a step), and Get picks the best the processor
// runs. Both give the same bytes, those of the per-pixel rules in PixelMath.h (and
// TSpanBlender for the blend kinds). Off x86 the baseline is plain C++.

#include <cstdint>

// The blend factor pairs that have kernels; General is every other one.
enum class TBlendKind : uint8_t
{
    Copy,     // blending off: the source
    Normal,   // SrcAlpha, InvSrcAlpha
    Add,      // SrcAlpha, One
    Multiply, // Zero, SrcColor
    Subtract, // Zero, InvSrcColor
    AddOne,   // One, One
    General,
};

struct TSpanKernels
{
    // Writes count pixels of src, each taken as (pixel & andMask) | orMask, into dst by
    // a kind's rule; pixels with alpha below minAlpha leave dst (the alpha test).
    using TBlendSpan = void (*)(uint32_t* dst, const uint32_t* src, int count, uint32_t andMask,
                                uint32_t orMask, uint32_t minAlpha);

    const char* name;

    TBlendSpan blend[6]; // by TBlendKind
    // out[i] = (texels[i] | texelOr) x color (or colors[i]), channel by channel.
    void (*modulateByColor)(const uint32_t* texels, uint32_t texelOr, uint32_t color, int count,
                            uint32_t* out);
    void (*modulateByColors)(const uint32_t* texels, uint32_t texelOr, const uint32_t* colors,
                             int count, uint32_t* out);
    // Linear filtering (PixelMath.h): out[i] = MixTexels(top[i], bottom[i], fy).
    void (*downRow)(const uint32_t* top, const uint32_t* bottom, uint32_t fy, int count,
                    uint32_t* out);
    // Linear filtering one texel a pixel along a row pair: out[i] = LinearTexels of the
    // texels at columns column + i and column + i + 1 of top and bottom (rows of columns
    // texels; columns outside them take the nearest edge texel), with weights fx, fy.
    void (*linearRowOne)(const uint32_t* top, const uint32_t* bottom, int columns, int column,
                         uint32_t fx, uint32_t fy, int count, uint32_t* out);
    // out[i] = MixTexels across at column (s_i >> 16) - first of row, s_i = s + i * ds, with the
    // weight of s_i. row must be readable 16 columns past the last one used.
    void (*acrossRowStepping)(const uint32_t* row, int64_t first, int64_t s, int64_t ds, int count,
                              uint32_t* out);
    // Linear filtering at (s_i, t_i) = (s + i ds, t + i dt), coordinates already less half
    // a texel, with clamp addressing: texels outside the surface (pixels, pitch, width x
    // height, at least 2 x 2 and less than 32768 a side) read the nearest edge texel.
    // Every s_i and t_i lies within +-32767 texels.
    void (*linearClamped)(const uint32_t* pixels, int pitch, int width, int height, int64_t s,
                          int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out);

    // The kernels this processor runs best: For(ProcessorHasAvx2()).
    static const TSpanKernels& Get();
    // The kernels for a processor with or without AVX2: the AVX2 build where it is built
    // and wanted, else the baseline.
    static const TSpanKernels& For(bool processorHasAvx2);
    static const TSpanKernels& Baseline();
    // Null where they are not built or the processor lacks AVX2.
    static const TSpanKernels* Avx2();
    // Asks the processor (false off x86). Built for every processor, like everything that
    // runs before the answer.
    static bool ProcessorHasAvx2();

private:
    // The AVX2 build's table without asking the processor (null where not built).
    static const TSpanKernels* BuiltAvx2();
};
