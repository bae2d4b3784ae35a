#pragma once

// The state block of the software device: the render states and the texture-stage-0
// states that the display handler sets, one field per state, with the values the
// device starts with. A state keeps its value until it is set again; the blend modes
// rely on that (a mode may leave a state as the previous mode set it).
//
// The fields under "stored only" are kept so that whoever sets them can read them back;
// a 2D device without depth, lighting or fog does nothing with them.

#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TMat4.h"

#include <cstdint>

// Blend factors applied to the source colour (Cs, As) and the destination (Cd, Ad).
enum class TBlend : uint8_t
{
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
};

// Comparisons of the alpha test: the pixel is kept when (As <op> reference) holds.
enum class TCompare : uint8_t
{
    Never,
    Less,
    Equal,
    LessEqual,
    Greater,
    NotEqual,
    GreaterEqual,
    Always,
};

// Which triangles are dropped: None keeps all; Clockwise drops those whose vertices run
// clockwise as seen on the screen (y down); CounterClockwise the others.
enum class TCull : uint8_t
{
    None,
    Clockwise,
    CounterClockwise,
};

// Gouraud interpolates the diffuse colour; Flat takes it from a primitive's first vertex.
enum class TShade : uint8_t
{
    Flat,
    Gouraud,
};

// Stage-0 operations. Disable: no texturing, the colour is the diffuse colour.
enum class TTextureOp : uint8_t
{
    Disable,
    SelectArg1,
    SelectArg2,
    Modulate,
};

// Stage-0 argument sources. At stage 0, Current is the diffuse colour.
enum class TArgSource : uint8_t
{
    Diffuse,
    Current,
    Texture,
    TFactor,
};

// A stage argument; alphaReplicate feeds the source's alpha into all three colour channels.
struct TStageArg
{
    TArgSource source = TArgSource::Diffuse;
    bool alphaReplicate = false;

    bool operator==(const TStageArg&) const = default;
};

enum class TFilter : uint8_t
{
    None,
    Point,
    Linear,
};

enum class TAddress : uint8_t
{
    Wrap,
    Clamp,
};

enum class TMaterialSource : uint8_t
{
    Material,
    Color1,
    Color2,
};

// The material of lit drawing; stored only.
struct TMaterial
{
    TColor diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    TColor ambient{1.0f, 1.0f, 1.0f, 1.0f};
    TColor specular{0.0f, 0.0f, 0.0f, 0.0f};
    TColor emissive{0.0f, 0.0f, 0.0f, 0.0f};
    float power = 0.0f;
};

// The device viewport in target pixels. An empty one (width or height 0) draws nothing.
struct TViewport
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

struct TDeviceState
{
    // Render states.
    TBlend srcBlend = TBlend::SrcAlpha;
    TBlend destBlend = TBlend::InvSrcAlpha;
    bool alphaBlendEnable = true;
    bool alphaTestEnable = true;
    uint8_t alphaRef = 1;
    TCompare alphaFunc = TCompare::GreaterEqual;
    uint32_t textureFactor = 0xFFFFFFFFu; // 0xAARRGGBB
    TCull cullMode = TCull::CounterClockwise;
    TShade shadeMode = TShade::Gouraud;

    // Render states, stored only.
    bool zEnable = true;
    bool zWriteEnable = true;
    bool lighting = true;
    bool clipping = true;
    bool specularEnable = false;
    uint32_t ambient = 0xFFFFFFFFu;
    bool colorVertex = true;
    bool normalizeNormals = true;
    TMaterialSource diffuseMaterialSource = TMaterialSource::Material;
    TMaterialSource ambientMaterialSource = TMaterialSource::Material;
    TMaterialSource specularMaterialSource = TMaterialSource::Material;
    TMaterialSource emissiveMaterialSource = TMaterialSource::Material;
    uint32_t wrap0 = 0;
    TMaterial material;

    // Texture stage 0.
    TTextureOp colorOp = TTextureOp::Modulate;
    TStageArg colorArg1{TArgSource::Texture, false};
    TStageArg colorArg2{TArgSource::Current, false};
    TTextureOp alphaOp = TTextureOp::Modulate;
    TStageArg alphaArg1{TArgSource::Texture, false};
    TStageArg alphaArg2{TArgSource::Current, false};
    TFilter magFilter = TFilter::Linear;
    TFilter minFilter = TFilter::Linear;
    TFilter mipFilter = TFilter::Linear; // stored only: there are no mip levels
    TAddress addressU = TAddress::Wrap;
    TAddress addressV = TAddress::Wrap;

    // Transforms of untransformed (lit) vertices, row-vector convention.
    TMat4 world;
    TMat4 view;
    TMat4 projection;

    TViewport viewport;
};
