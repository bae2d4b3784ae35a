// Times one spa-like frame on our software device and the same drawing list on SDL2's
// own software renderer (SDL_CreateSoftwareRenderer on a surface of the same size), in
// one run, and prints the median CPU time per frame of both (the goal for ours: at most
// 2 ms). Our frame is timed twice: drawn image by image (TTexture::DrawAt), and with the
// background and the sprites as a sprite tree (TSprite), as the engine's scenes are drawn;
// both give the same picture.
//
// The frame: a full-screen opaque background; 150 alpha-blended sprites of 64 x 64 to
// 200 x 200 (100 unscaled at whole-pixel positions, 30 scaled by 0.6 to 1.4, 20 rotated,
// 20 of all of them faded); 400 additive particles of 16 x 16 at fractional positions
// with their own colours, in 4 indexed batches; 40 lines of text as line lists of 128
// anti-aliased spans. Our frame goes through the renderer (TRenderer), as the engine's
// drawing code does (textures through TTexture::DrawAt); linear filtering on both sides.
//
// bench_DeviceFrame --png FOLDER also writes the frames as PNG files to look at;
// --parts times each part of our frame on its own as well; --profile-part K only draws
// part K (0 background ... 5 text; 6 the whole frame) 2000 times (--frames N: N times),
// for a profiler (callgrind counts are steady where timings on a busy machine are not).
//
// This program has its own main; Google Benchmark's timing loop does not fit a
// comparison of two renderers in one run.

#include "engine/graphics/DrawState.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"
#include "engine/graphics/sprite/TSprite.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kWarmUpFrames = 5;
constexpr int kMeasuredFrames = 61;
// The goal for our frame's median CPU time.
constexpr double kGoalMs = 2.0;
constexpr int kParticleBatches = 4;
constexpr int kParticlesPerBatch = 100;
constexpr int kTextLines = 40;
constexpr int kSpansPerLine = 128;
constexpr float kPi = 3.14159265f;

// Engine pixels, row by row.
struct TImage
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

struct TSceneSprite
{
    int image = 0;
    float x = 0;
    float y = 0;
    float scale = 1;
    float angle = 0; // radians
    float alpha = 1;
};

struct TParticle
{
    float x = 0;
    float y = 0;
    uint32_t color = 0;
};

struct TSpan
{
    float x0 = 0;
    float x1 = 0;
    float y = 0;
    uint32_t color = 0;
};

struct TScene
{
    TImage background;
    std::vector<TImage> images;
    TImage glow;
    std::vector<TSceneSprite> sprites;
    std::vector<TParticle> particles;
    std::vector<std::vector<TSpan>> text;
};

uint32_t Pack(int a, int r, int g, int b)
{
    const auto clamp = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return (clamp(a) << 24) | (clamp(r) << 16) | (clamp(g) << 8) | clamp(b);
}

TImage MakeBackground()
{
    TImage image{kWidth, kHeight, std::vector<uint32_t>(kWidth * kHeight)};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool tile = ((x / 40) + (y / 40)) % 2 == 0;
            image.pixels[static_cast<size_t>(y * kWidth + x)] =
                Pack(255, 180 + (tile ? 20 : 0) - y / 12, 200 - x / 16, 190 + (tile ? 10 : 0));
        }
    return image;
}

// A rounded blob with a soft edge, a colour gradient and, for some, a translucent halo.
TImage MakeSprite(int width, int height, std::mt19937& random)
{
    TImage image{width, height, std::vector<uint32_t>(static_cast<size_t>(width * height))};
    const int r = static_cast<int>(random() % 200), g = static_cast<int>(random() % 200),
              b = static_cast<int>(random() % 200);
    const bool halo = random() % 3 == 0;
    const float cx = width / 2.0f, cy = height / 2.0f;
    const float radius = std::min(cx, cy) * (halo ? 0.75f : 0.95f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float dx = (x + 0.5f - cx) / cx, dy = (y + 0.5f - cy) / cy;
            // A superellipse: rounder than a rectangle, squarer than a disc.
            const float d =
                std::pow(std::pow(std::fabs(dx), 4.0f) + std::pow(std::fabs(dy), 4.0f), 0.25f) *
                std::min(cx, cy);
            float alpha = std::clamp(radius - d + 0.5f, 0.0f, 1.0f);
            if (halo && alpha == 0.0f)
                alpha =
                    std::clamp((std::min(cx, cy) - d) / (std::min(cx, cy) - radius), 0.0f, 1.0f) *
                    0.4f;
            const int shade = static_cast<int>(55 * (1.0f - dy));
            image.pixels[static_cast<size_t>(y * width + x)] =
                Pack(static_cast<int>(alpha * 255.0f + 0.5f), r + shade, g + shade, b + shade / 2);
        }
    return image;
}

TImage MakeGlow()
{
    TImage image{16, 16, std::vector<uint32_t>(256)};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(x + 0.5f - 8.0f, y + 0.5f - 8.0f) / 8.0f;
            const float a = std::clamp(1.0f - d, 0.0f, 1.0f);
            image.pixels[static_cast<size_t>(y * 16 + x)] =
                Pack(static_cast<int>(a * a * 255.0f), 255, 255, 255);
        }
    return image;
}

TScene MakeScene()
{
    std::mt19937 random(2024);
    TScene scene;
    scene.background = MakeBackground();
    for (int i = 0; i < 12; ++i) {
        // Even sides, so that unscaled sprites centred on whole pixels map texel to pixel.
        const int w = 64 + 2 * static_cast<int>(random() % 69);
        const int h = 64 + 2 * static_cast<int>(random() % 69);
        scene.images.push_back(MakeSprite(w, h, random));
    }
    scene.glow = MakeGlow();
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 150; ++i) {
        TSceneSprite sprite;
        sprite.image = static_cast<int>(random() % scene.images.size());
        sprite.x = std::floor(unit(random) * kWidth);
        sprite.y = std::floor(unit(random) * kHeight);
        if (i >= 100 && i < 130)
            sprite.scale = 0.6f + 0.8f * unit(random);
        if (i >= 130)
            sprite.angle = (unit(random) - 0.5f) * kPi;
        if (i % 7 == 3 && i < 140)
            sprite.alpha = 0.4f + 0.5f * unit(random);
        scene.sprites.push_back(sprite);
    }
    for (int i = 0; i < kParticleBatches * kParticlesPerBatch; ++i)
        scene.particles.push_back(
            {unit(random) * kWidth, unit(random) * kHeight,
             Pack(static_cast<int>(96 + random() % 160), static_cast<int>(128 + random() % 128),
                  static_cast<int>(96 + random() % 160), static_cast<int>(64 + random() % 192))});
    for (int line = 0; line < kTextLines; ++line) {
        std::vector<TSpan> spans;
        const float top = 20.0f + 14.0f * static_cast<float>(line);
        float x = 40.0f + static_cast<float>(random() % 200);
        for (int i = 0; i < kSpansPerLine; ++i) {
            const float length = static_cast<float>(1 + random() % 8);
            const float row = top + static_cast<float>(random() % 12);
            const int coverage = 16 * static_cast<int>(1 + random() % 16);
            spans.push_back({x, x + length, row, Pack(coverage - 1, 40, 30, 60)});
            x += length + static_cast<float>(random() % 4);
        }
        scene.text.push_back(spans);
    }
    return scene;
}

// --- Our software device, through the renderer --------------------------------------

std::shared_ptr<TTexture> ToTexture(const TImage& image, bool alpha)
{
    std::shared_ptr<TTexture> texture = TTexture::Create(image.width, image.height, alpha);
    uint32_t* pixels = nullptr;
    int pitch = 0;
    texture->Lock(pixels, pitch);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(pixels + y * pitch, image.pixels.data() + y * image.width,
                    static_cast<size_t>(image.width) * 4);
    texture->Unlock();
    return texture;
}

class TOurFrame
{
public:
    explicit TOurFrame(const TScene& scene) : mScene(scene)
    {
        TRenderer::Destroy();
        mRenderer = TRenderer::Get();
        mRenderer->GetDisplayHandler().OpenBackBuffer(kWidth, kHeight);
        mRenderer->PushClipRect(TRect(0, 0, kWidth, kHeight));
        mRenderer->SetOption("new_subtractive", "1");
        mRenderer->SetOption("new_render_blend", "1");
        mBackground = ToTexture(scene.background, false);
        for (const TImage& image : scene.images)
            mImages.push_back(ToTexture(image, true));
        mGlow = ToTexture(scene.glow, true);
        BuildParticles();
        BuildText();
        BuildTree();
    }
    ~TOurFrame() { TRenderer::Destroy(); }

    // The frame's parts, in drawing order.
    enum TPart
    {
        kBackground,
        kUnscaledSprites,
        kScaledSprites,
        kRotatedSprites,
        kParticles,
        kText,
        kPartCount,
    };
    static const char* PartName(int part)
    {
        static const char* const names[kPartCount] = {"background",     "unscaled sprites",
                                                      "scaled sprites", "rotated sprites",
                                                      "particles",      "text spans"};
        return names[part];
    }

    void Draw() { DrawParts(0, kPartCount); }

    // The background and the sprites through the sprite tree, then the rest as parts.
    void DrawTree()
    {
        mRenderer->BeginDraw(false);
        mRenderer->Begin2d();
        mTree->Draw(DrawState());
        for (int part = kParticles; part < kPartCount; ++part)
            DrawPart(part);
        mRenderer->End2d();
        mRenderer->EndDraw(false);
    }

    // Parts first .. end - 1 as a frame of their own.
    void DrawParts(int first, int end)
    {
        mRenderer->BeginDraw(false);
        mRenderer->Begin2d();
        for (int part = first; part < end; ++part)
            DrawPart(part);
        mRenderer->End2d();
        mRenderer->EndDraw(false);
    }

    const TSurface& Frame() { return *mRenderer->GetDisplayHandler().GetBackBuffer(); }

private:
    void DrawPart(int part)
    {
        switch (part) {
        case kBackground:
            DrawImage(mBackground, kWidth / 2.0f, kHeight / 2.0f, 1, 0, 1, kBlendNormal);
            return;
        case kUnscaledSprites:
        case kScaledSprites:
        case kRotatedSprites:
            for (const TSceneSprite& sprite : mScene.sprites) {
                const int kind = sprite.angle != 0.0f   ? kRotatedSprites
                                 : sprite.scale != 1.0f ? kScaledSprites
                                                        : kUnscaledSprites;
                if (kind == part)
                    DrawImage(mImages[static_cast<size_t>(sprite.image)], sprite.x, sprite.y,
                              sprite.scale, sprite.angle, sprite.alpha, kBlendNormal);
            }
            return;
        case kParticles:
            mRenderer->SetTexture(mGlow);
            mRenderer->SetBlendMode(kBlendAdditiveAlpha);
            for (int batch = 0; batch < kParticleBatches; ++batch) {
                TVertexArray vertices(mParticleVertices.data() + batch * kParticlesPerBatch * 4,
                                      kParticlesPerBatch * 4);
                mRenderer->DrawIndexedVertices(TPrimitiveType::TriangleList,
                                               mParticleIndices.data(), vertices,
                                               kParticlesPerBatch * 6);
            }
            return;
        default:
            mRenderer->SetTexture(nullptr);
            mRenderer->SetBlendMode(kBlendNormal);
            for (std::vector<TScreenVertex>& line : mText)
                mRenderer->DrawVertices(TPrimitiveType::LineList,
                                        TVertexArray(line.data(), static_cast<int>(line.size())));
            return;
        }
    }

    // Centred on (x, y), scaled, then rotated: the texture's own DrawAt.
    void DrawImage(const std::shared_ptr<TTexture>& texture, float x, float y, float scale,
                   float angle, float alpha, TBlendMode blendMode)
    {
        mRenderer->SetBlendMode(blendMode);
        texture->DrawAt(x, y, alpha, scale, angle, 0);
    }

    // The background on layer -1 and the sprites on layers 0, 1, 2 by kind (unscaled,
    // scaled, rotated: the parts' order), each centred, scaled, then rotated as DrawAt
    // does; every sprite inherits the root's blend mode.
    void BuildTree()
    {
        mTree = TSprite::Create();
        mTree->SetBlendMode(kBlendNormal);
        std::shared_ptr<TSprite> background = TSprite::Create(-1, mBackground);
        background->SetPosition(TVec2(kWidth / 2.0f, kHeight / 2.0f));
        mTree->AddChild(background);
        for (const TSceneSprite& sprite : mScene.sprites) {
            const int layer = sprite.angle != 0.0f ? 2 : sprite.scale != 1.0f ? 1 : 0;
            std::shared_ptr<TSprite> node =
                TSprite::Create(layer, mImages[static_cast<size_t>(sprite.image)]);
            DrawState& state = node->GetDrawState();
            state = DrawState(TVec2(sprite.x, sprite.y), sprite.alpha, sprite.scale);
            state.matrix.Rotate(sprite.angle);
            mTree->AddChild(node);
        }
    }

    // The particle renderer's layout: four corners a particle, two triangles through
    // 16-bit indices c, c+1, c+2, c+1, c+3, c+2.
    void BuildParticles()
    {
        const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};
        for (const TParticle& particle : mScene.particles)
            for (const auto& corner : corners) {
                TLitVertex vertex;
                vertex.x = particle.x - 0.5f + 16.0f * corner[0];
                vertex.y = particle.y - 0.5f + 16.0f * corner[1];
                vertex.reserved = 0.5f;
                vertex.diffuse = particle.color;
                vertex.specular = 0xFFFFFFFFu;
                vertex.u = corner[0] + 0.5f;
                vertex.v = corner[1] + 0.5f;
                mParticleVertices.push_back(vertex);
            }
        for (int c = 0; c < 4 * kParticlesPerBatch; c += 4)
            for (int k : {0, 1, 2, 1, 3, 2})
                mParticleIndices.push_back(static_cast<uint16_t>(c + k));
    }

    void BuildText()
    {
        for (const std::vector<TSpan>& spans : mScene.text) {
            std::vector<TScreenVertex> line;
            for (const TSpan& span : spans)
                for (float x : {span.x0, span.x1}) {
                    TScreenVertex vertex;
                    vertex.x = x;
                    vertex.y = span.y;
                    vertex.z = 0.1f;
                    vertex.rhw = 0.5f;
                    vertex.diffuse = span.color;
                    line.push_back(vertex);
                }
            mText.push_back(line);
        }
    }

    const TScene& mScene;
    TRenderer* mRenderer = nullptr;
    std::shared_ptr<TTexture> mBackground;
    std::vector<std::shared_ptr<TTexture>> mImages;
    std::shared_ptr<TTexture> mGlow;
    std::vector<TLitVertex> mParticleVertices;
    std::vector<uint16_t> mParticleIndices;
    std::vector<std::vector<TScreenVertex>> mText;
    std::shared_ptr<TSprite> mTree;
};

// --- SDL2's software renderer --------------------------------------------------------

class TSdlFrame
{
public:
    explicit TSdlFrame(const TScene& scene) : mScene(scene)
    {
        mSurface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        mRenderer = SDL_CreateSoftwareRenderer(mSurface);
        if (mRenderer == nullptr)
            return;
        mBackground = ToTexture(scene.background, SDL_BLENDMODE_NONE);
        for (const TImage& image : scene.images)
            mImages.push_back(ToTexture(image, SDL_BLENDMODE_BLEND));
        mGlow = ToTexture(scene.glow, SDL_BLENDMODE_ADD);
        for (const TParticle& particle : scene.particles) {
            const SDL_Color color{
                static_cast<Uint8>(particle.color >> 16), static_cast<Uint8>(particle.color >> 8),
                static_cast<Uint8>(particle.color), static_cast<Uint8>(particle.color >> 24)};
            for (int corner = 0; corner < 4; ++corner) {
                const float cx = corner % 2 ? 0.5f : -0.5f, cy = corner / 2 ? 0.5f : -0.5f;
                mParticleVertices.push_back({{particle.x + 16.0f * cx, particle.y + 16.0f * cy},
                                             color,
                                             {cx + 0.5f, cy + 0.5f}});
            }
        }
        for (int c = 0; c < 4 * kParticlesPerBatch; c += 4)
            for (int k : {0, 1, 2, 1, 3, 2})
                mParticleIndices.push_back(c + k);
        for (const std::vector<TSpan>& spans : scene.text) {
            std::vector<SDL_Vertex> line;
            for (const TSpan& span : spans) {
                const SDL_Color color{
                    static_cast<Uint8>(span.color >> 16), static_cast<Uint8>(span.color >> 8),
                    static_cast<Uint8>(span.color), static_cast<Uint8>(span.color >> 24)};
                for (const auto& [x, y] :
                     {std::pair{span.x0, span.y - 0.5f}, std::pair{span.x1, span.y - 0.5f},
                      std::pair{span.x0, span.y + 0.5f}, std::pair{span.x1, span.y + 0.5f}})
                    line.push_back({{x, y}, color, {0, 0}});
            }
            mText.push_back(line);
        }
        for (int c = 0; c < 4 * kSpansPerLine; c += 4)
            for (int k : {0, 1, 2, 1, 3, 2})
                mTextIndices.push_back(c + k);
    }
    ~TSdlFrame()
    {
        for (SDL_Texture* texture : mImages)
            SDL_DestroyTexture(texture);
        if (mBackground)
            SDL_DestroyTexture(mBackground);
        if (mGlow)
            SDL_DestroyTexture(mGlow);
        if (mRenderer)
            SDL_DestroyRenderer(mRenderer);
        SDL_FreeSurface(mSurface);
    }

    bool IsValid() const { return mRenderer != nullptr; }

    void Draw()
    {
        SDL_RenderCopy(mRenderer, mBackground, nullptr, nullptr);
        for (const TSceneSprite& sprite : mScene.sprites) {
            const TImage& image = mScene.images[static_cast<size_t>(sprite.image)];
            SDL_Texture* texture = mImages[static_cast<size_t>(sprite.image)];
            const float w = static_cast<float>(image.width) * sprite.scale;
            const float h = static_cast<float>(image.height) * sprite.scale;
            const SDL_FRect to{sprite.x - w / 2, sprite.y - h / 2, w, h};
            SDL_SetTextureAlphaMod(texture, static_cast<Uint8>(sprite.alpha * 255.0f));
            SDL_RenderCopyExF(mRenderer, texture, nullptr, &to, sprite.angle * 180.0 / kPi, nullptr,
                              SDL_FLIP_NONE);
        }
        for (int batch = 0; batch < kParticleBatches; ++batch)
            SDL_RenderGeometry(
                mRenderer, mGlow, mParticleVertices.data() + batch * kParticlesPerBatch * 4,
                kParticlesPerBatch * 4, mParticleIndices.data(), kParticlesPerBatch * 6);
        SDL_SetRenderDrawBlendMode(mRenderer, SDL_BLENDMODE_BLEND);
        for (const std::vector<SDL_Vertex>& line : mText)
            SDL_RenderGeometry(mRenderer, nullptr, line.data(), static_cast<int>(line.size()),
                               mTextIndices.data(), static_cast<int>(mTextIndices.size()));
        SDL_RenderFlush(mRenderer);
    }

    SDL_Surface* Frame() { return mSurface; }

private:
    SDL_Texture* ToTexture(const TImage& image, SDL_BlendMode mode)
    {
        SDL_Texture* texture =
            SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                              image.width, image.height);
        SDL_UpdateTexture(texture, nullptr, image.pixels.data(), image.width * 4);
        SDL_SetTextureBlendMode(texture, mode);
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
        return texture;
    }

    const TScene& mScene;
    SDL_Surface* mSurface = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    SDL_Texture* mBackground = nullptr;
    std::vector<SDL_Texture*> mImages;
    SDL_Texture* mGlow = nullptr;
    std::vector<SDL_Vertex> mParticleVertices;
    std::vector<int> mParticleIndices;
    std::vector<std::vector<SDL_Vertex>> mText;
    std::vector<int> mTextIndices;
};

// --- Timing and output ---------------------------------------------------------------

double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The median CPU time of one call of draw, over the measured frames.
double MedianFrame(const std::function<void()>& draw)
{
    for (int i = 0; i < kWarmUpFrames; ++i)
        draw();
    std::vector<double> times;
    for (int i = 0; i < kMeasuredFrames; ++i) {
        const double start = ThreadMilliseconds();
        draw();
        times.push_back(ThreadMilliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA; // engine pixels as bytes
    const bool written =
        png_image_write_to_file(&image, path.c_str(), 0, pixels, pitch * 4, nullptr) != 0;
    png_image_free(&image);
    if (!written)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    std::string pngFolder;
    bool parts = false;
    int profilePart = -1;
    int profileFrames = 2000;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--png" && i + 1 < argc)
            pngFolder = argv[++i];
        else if (std::string(argv[i]) == "--parts")
            parts = true;
        else if (std::string(argv[i]) == "--profile-part" && i + 1 < argc)
            profilePart = std::atoi(argv[++i]);
        else if (std::string(argv[i]) == "--frames" && i + 1 < argc)
            profileFrames = std::atoi(argv[++i]);
    }

    const TScene scene = MakeScene();
    if (profilePart >= 0 && profilePart <= TOurFrame::kPartCount) {
        TOurFrame frame(scene);
        const bool whole = profilePart == TOurFrame::kPartCount;
        for (int i = 0; i < profileFrames; ++i)
            frame.DrawParts(whole ? 0 : profilePart,
                            whole ? TOurFrame::kPartCount : profilePart + 1);
        return 0;
    }
    double ours = 0;
    double tree = 0;
    {
        TOurFrame frame(scene);
        ours = MedianFrame([&frame] { frame.Draw(); });
        const TSurface& surface = frame.Frame();
        const std::vector<uint32_t> imageByImage(
            surface.GetPixels(), surface.GetPixels() + surface.GetPitch() * surface.GetHeight());
        if (!pngFolder.empty())
            WritePng(pngFolder + "/frame-ours.png", surface.GetPixels(), surface.GetWidth(),
                     surface.GetHeight(), surface.GetPitch());
        tree = MedianFrame([&frame] { frame.DrawTree(); });
        if (!std::equal(imageByImage.begin(), imageByImage.end(), surface.GetPixels()))
            std::fprintf(stderr, "the sprite tree's frame differs from the image-by-image one\n");
        if (!pngFolder.empty())
            WritePng(pngFolder + "/frame-tree.png", surface.GetPixels(), surface.GetWidth(),
                     surface.GetHeight(), surface.GetPitch());
        if (parts)
            for (int part = 0; part < TOurFrame::kPartCount; ++part)
                std::printf("  %-18s %7.3f ms\n", TOurFrame::PartName(part),
                            MedianFrame([&frame, part] { frame.DrawParts(part, part + 1); }));
    }
    double theirs = 0;
    {
        TSdlFrame frame(scene);
        if (!frame.IsValid()) {
            std::fprintf(stderr, "SDL software renderer: %s\n", SDL_GetError());
            return 1;
        }
        theirs = MedianFrame([&frame] { frame.Draw(); });
        if (!pngFolder.empty()) {
            SDL_Surface* surface = frame.Frame();
            WritePng(pngFolder + "/frame-sdl.png", static_cast<const uint32_t*>(surface->pixels),
                     surface->w, surface->h, surface->pitch / 4);
        }
    }
    std::printf("Spa-like frame, %dx%d, median CPU time of %d frames on one core:\n", kWidth,
                kHeight, kMeasuredFrames);
    std::printf("  software device (TRenderer):   %7.3f ms   goal: at most %.0f ms\n", ours,
                kGoalMs);
    std::printf("  the same as a sprite tree:     %7.3f ms   goal: at most %.0f ms\n", tree,
                kGoalMs);
    std::printf("  SDL2 software renderer:        %7.3f ms   for comparison\n", theirs);
    std::printf("  ratio (ours / SDL):            %7.3f      below 1: ours is faster\n",
                ours / theirs);
    return 0;
}
