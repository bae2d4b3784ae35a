#pragma once

// What drawing into a texture keeps (TRenderer::BeginRenderTarget).
enum class TRenderTargetMode : int
{
    Opaque = 0,    // draw over whatever the back buffer holds; the result is opaque
    KeepAlpha = 1, // the same, keeping the alpha the copy brings
    Alpha = 4,     // start from transparent black; the drawn intensity becomes the
                   // texture's alpha and its colour bytes stay
};
