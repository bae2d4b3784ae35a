#include "engine/graphics/particles/T2dParticleRenderer.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/particles/TParticleView.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// Record offsets of the renderer's attributes.
enum : int
{
    kPositionX = 0,
    kPositionY = 1,
    kUpX = 2,
    kUpY = 3,
    kScale = 4,
    kRed = 5,
    kAlpha = 8,
    kFrame = 9,
};

// A 16-bit index reaches 65536 vertices: the most quads one indexed batch can draw.
constexpr int kMaxBatchQuads = 65536 / 4;

struct TCorner
{
    float x, y; // around the centre, in quad sizes
    float u, v; // across the texture rectangle
};

constexpr TCorner kCorners[4] = {{-0.5f, -0.5f, 0.0f, 0.0f},
                                 {0.5f, -0.5f, 1.0f, 0.0f},
                                 {-0.5f, 0.5f, 0.0f, 1.0f},
                                 {0.5f, 0.5f, 1.0f, 1.0f}};
// The two triangles of a quad, as corners.
constexpr int kTriangleCorners[6] = {0, 1, 2, 1, 3, 2};

struct TSharedBuffers
{
    std::vector<TLitVertex> vertices;
    std::vector<uint16_t> indices;
    int renderers = 0;
};

TSharedBuffers& Buffers()
{
    static TSharedBuffers buffers;
    return buffers;
}

// Room for count particles of perParticle vertices, and (indexed) the indices of the
// largest batch.
void EnsureBuffers(int count, int perParticle, bool indexed)
{
    TSharedBuffers& buffers = Buffers();
    const size_t needed = static_cast<size_t>(count) * static_cast<size_t>(perParticle);
    if (buffers.vertices.size() < needed) {
        TLitVertex blank;
        blank.reserved = 0.5f;
        blank.specular = 0xFFFFFFFFu;
        buffers.vertices.assign(needed * 2, blank);
    }
    const size_t quads = std::min<size_t>(static_cast<size_t>(count) * 2, kMaxBatchQuads);
    if (!indexed || buffers.indices.size() >= quads * 6)
        return;
    buffers.indices.resize(quads * 6);
    for (size_t quad = 0; quad < quads; ++quad)
        for (int i = 0; i < 6; ++i)
            buffers.indices[quad * 6 + static_cast<size_t>(i)] =
                static_cast<uint16_t>(quad * 4 + static_cast<size_t>(kTriangleCorners[i]));
}

// A colour channel as a byte: clamped to 0..1 (NaN as 0), times 255, truncated.
uint32_t ChannelByte(float value)
{
    if (!(value > 0.0f))
        return 0;
    return value >= 1.0f ? 255u : static_cast<uint32_t>(value * 255.0f);
}

uint32_t Diffuse(const float* colour, float opacity)
{
    const uint32_t alpha = ChannelByte(colour[3]);
    return static_cast<uint32_t>(static_cast<float>(alpha) * opacity) << 24 |
           ChannelByte(colour[0]) << 16 | ChannelByte(colour[1]) << 8 | ChannelByte(colour[2]);
}

// The texture rectangle of a particle, in texture coordinates.
struct TTexRect
{
    float left = 0.0f, top = 0.0f, right = 1.0f, bottom = 1.0f;
};

TTexRect PictureRect(const TTexture* texture)
{
    TTexRect rect;
    int width = 0;
    int height = 0;
    if (texture != nullptr)
        texture->GetSurfaceSize(width, height);
    if (width > 0 && height > 0) {
        // The picture, not the whole power-of-two surface it lies on.
        rect.right = static_cast<float>(texture->GetData().GetImageWidth()) / width;
        rect.bottom = static_cast<float>(texture->GetData().GetImageHeight()) / height;
    }
    return rect;
}

TTexRect FrameRect(const TAnimatedTexture& animation, float frame)
{
    int index = -1;
    if (!TruncateToInt(frame, index))
        index = -1;
    const TRect pixels = animation.GetFrameRect(index);
    int width = 0;
    int height = 0;
    animation.GetSurfaceSize(width, height);
    if (width <= 0 || height <= 0)
        return TTexRect{0, 0, 0, 0};
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    return TTexRect{pixels.left / w, pixels.top / h, pixels.right / w, pixels.bottom / h};
}

} // namespace

T2dParticleRenderer::T2dParticleRenderer()
{
    ++Buffers().renderers;
    mNonIndexed = std::atof(GetConfig("brokenindexedverts", "0").CStr()) != 0.0;
}

T2dParticleRenderer::~T2dParticleRenderer()
{
    TSharedBuffers& buffers = Buffers();
    if (--buffers.renderers == 0) {
        std::vector<TLitVertex>().swap(buffers.vertices);
        std::vector<uint16_t>().swap(buffers.indices);
    }
}

void T2dParticleRenderer::SetTexture(std::shared_ptr<TTexture> texture)
{
    mTexture = std::move(texture);
    if (mTexture)
        mTextureSize = TVec2(static_cast<float>(mTexture->GetWidth()),
                             static_cast<float>(mTexture->GetHeight()));
}

void T2dParticleRenderer::SetOption(const TString& name, const float values[4])
{
    if (!(name == TString("blendmode")))
        return;
    int number = -1;
    const std::optional<TBlendMode> mode =
        TruncateToInt(values[0], number) ? BlendModeFromNumber(number) : std::nullopt;
    if (!mode) {
        TraceLog("graphics: particles: blend mode %g is not one of 0 to 4; the mode stays %d",
                 static_cast<double>(values[0]), static_cast<int>(mBlendMode));
        return;
    }
    mBlendMode = *mode;
}

void T2dParticleRenderer::Draw(const TVec3& position, float opacity,
                               std::span<float* const> particles)
{
    if (particles.empty() || TDxDisplayHandler::Get() == nullptr)
        return;
    TRenderer& renderer = *TRenderer::Get();
    const int count = static_cast<int>(particles.size());
    const int perParticle = mNonIndexed ? 6 : 4;
    EnsureBuffers(count, perParticle, !mNonIndexed);
    renderer.SetTexture(mTexture);
    renderer.SetBlendMode(mBlendMode);

    const float originX = position.x - 0.5f;
    const float originY = position.y - 0.5f;
    const float alphaScale = std::clamp(opacity, 0.0f, 1.0f);
    const TAnimatedTexture* animation = mTexture && mTexture->IsKindOf(TAnimatedTexture::ClassId())
                                            ? static_cast<const TAnimatedTexture*>(mTexture.get())
                                            : nullptr;
    const TTexRect picture = PictureRect(mTexture.get());
    TLitVertex* vertex = Buffers().vertices.data();
    for (const float* p : particles) {
        const float sizeX = mTextureSize.x * p[kScale];
        const float sizeY = mTextureSize.y * p[kScale];
        const float centreX = p[kPositionX] + originX;
        const float centreY = p[kPositionY] + originY;
        const float upX = p[kUpX];
        const float upY = p[kUpY];
        const uint32_t diffuse = Diffuse(p + kRed, alphaScale);
        const TTexRect rect = animation != nullptr ? FrameRect(*animation, p[kFrame]) : picture;
        for (int i = 0; i < perParticle; ++i) {
            const TCorner& corner = kCorners[mNonIndexed ? kTriangleCorners[i] : i];
            vertex->x = centreX - upY * sizeX * corner.x - upX * sizeY * corner.y;
            vertex->y = centreY - upY * sizeY * corner.y + upX * sizeX * corner.x;
            vertex->z = position.z;
            vertex->diffuse = diffuse;
            vertex->u = rect.left + corner.u * (rect.right - rect.left);
            vertex->v = rect.top + corner.v * (rect.bottom - rect.top);
            ++vertex;
        }
    }

    TLitVertex* vertices = Buffers().vertices.data();
    if (mNonIndexed) {
        renderer.DrawVertices(TPrimitiveType::TriangleList, TVertexArray(vertices, count * 6));
    } else {
        for (int first = 0; first < count; first += kMaxBatchQuads) {
            const int quads = std::min(kMaxBatchQuads, count - first);
            renderer.DrawIndexedVertices(TPrimitiveType::TriangleList, Buffers().indices.data(),
                                         TVertexArray(vertices + first * 4, quads * 4), quads * 6);
        }
    }
    renderer.SetBlendMode(kBlendNormal);
}
