#pragma once

// The renderer over an in-memory back buffer of a given size, made fresh for a test and
// destroyed after it (the renderer is process-wide); the clip stack starts with the
// display rectangle, as the platform leaves it after setting the display. Also a log
// captured into a temporary folder, and a quad drawn as textures draw theirs. Tests that
// use them run in an EngineStateTest fixture.

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/BuildQuad.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"
#include "tests/engine/EngineStateTest.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TTestDisplay
{
public:
    TTestDisplay(int width, int height)
    {
        TRenderer::Destroy();
        renderer = TRenderer::Get();
        handler = &renderer->GetDisplayHandler();
        handler->OpenBackBuffer(width, height);
        renderer->PushClipRect(TRect(0, 0, width, height));
    }
    ~TTestDisplay() { TRenderer::Destroy(); }
    TTestDisplay(const TTestDisplay&) = delete;
    TTestDisplay& operator=(const TTestDisplay&) = delete;

    TSurface& BackBuffer() { return *handler->GetBackBuffer(); }

    TRenderer* renderer = nullptr;
    TDxDisplayHandler* handler = nullptr;
};

class TLogCapture
{
public:
    TLogCapture()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-log-XXXXXX").string();
        mFolder = mkdtemp(pattern.data());
        InitLog(mFolder.c_str());
    }
    ~TLogCapture()
    {
        InitLog(nullptr);
        std::error_code error;
        std::filesystem::remove_all(mFolder, error);
    }
    TLogCapture(const TLogCapture&) = delete;
    TLogCapture& operator=(const TLogCapture&) = delete;

    std::string Text() const
    {
        std::ifstream file(mFolder + "/logfile.txt");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    bool Has(const std::string& line) const { return Text().find(line) != std::string::npos; }

private:
    std::string mFolder;
};

// The quad (left, top) - (right, bottom) in viewport pixels with texture coordinates
// texCoords, drawn as one fan of lit vertices (the renderer must be in 2D).
inline void DrawQuad(float left, float top, float right, float bottom,
                     const TColor& color = TColor(1, 1, 1, 1), float alpha = 1.0f,
                     const TTexCoordRect& texCoords = TTexCoordRect())
{
    TVec2 corners[4] = {TVec2(left, top), TVec2(right, top), TVec2(right, bottom),
                        TVec2(left, bottom)};
    TLitVertex quad[4];
    BuildQuad(TVec2(), quad, corners, texCoords, TMat3(), alpha, color);
    TRenderer::Get()->DrawVertices(TPrimitiveType::TriangleFan, TVertexArray(quad, 4));
}

// A texture whose texels are given row by row.
inline std::shared_ptr<TTexture> TextureOf(int width, int height, bool alpha,
                                           const std::vector<uint32_t>& texels)
{
    std::shared_ptr<TTexture> texture = TTexture::Create(width, height, alpha);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    texture->Lock(pixels, pitch);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * pitch + x] = texels[static_cast<size_t>(y * width + x)];
    texture->Unlock();
    return texture;
}
