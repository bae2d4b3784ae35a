#include "engine/graphics/TCoverageProbe.h"

#include "engine/graphics/DrawState.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/device/TLitVertex.h"
#include "engine/graphics/device/TScreenVertex.h"

TCoverageProbe::TCoverageProbe(const TVec2& point)
{
    // A 2D vertex at x lands on target pixel x + offset (the pixel centres are at whole
    // numbers): the probe's pixel is the one whose centre point is on.
    float texelOffset = -0.5f;
    if (const TDxDisplayHandler* display = TDxDisplayHandler::Get()) {
        texelOffset = display->GetTexelOffset();
        mOptions = display->GetBlendOptions();
    }
    mOrigin = TVec2(point.x - texelOffset, point.y - texelOffset);

    // What Begin2d sets, and the alpha target's states of kBlendNormal without a texture.
    TDeviceState& state = mDevice.State();
    state.addressU = TAddress::Clamp;
    state.addressV = TAddress::Clamp;
    state.minFilter = state.magFilter = state.mipFilter = TFilter::Linear;
    state.cullMode = TCull::None;
    state.viewport = {0, 0, 1, 1, 0.0f, 1.0f};
    SetBlendFactors(state, mMode, true, mOptions);
    SetAlphaTargetStages(state, mMode, false, mOptions);
    mDevice.SetRenderTarget(&mPixel);
}

void TCoverageProbe::Draw(const TTexture& texture, const DrawState& state)
{
    TLitVertex quad[4];
    if (!texture.MakeQuad(state, quad))
        return;
    // Binding the texture applies the stage states of the mode in force, then a mode of
    // the state's own is set (TTexture::Draw).
    TDeviceState& states = mDevice.State();
    mDevice.SetTexture(texture.GetData().GetSurface(), texture.HasAlpha());
    SetAlphaTargetStages(states, mMode, true, mOptions);
    if (state.blendMode) {
        mMode = *state.blendMode;
        SetBlendFactors(states, mMode, true, mOptions);
        SetAlphaTargetStages(states, mMode, true, mOptions);
    }
    TScreenVertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        TScreenVertex& vertex = vertices[i];
        vertex.x = static_cast<float>(static_cast<double>(quad[i].x) - mOrigin.x);
        vertex.y = static_cast<float>(static_cast<double>(quad[i].y) - mOrigin.y);
        vertex.z = quad[i].z;
        vertex.rhw = 1.0f;
        vertex.diffuse = quad[i].diffuse;
        vertex.specular = quad[i].specular;
        vertex.u = quad[i].u;
        vertex.v = quad[i].v;
    }
    mDevice.DrawPrimitive(TPrimitiveType::TriangleFan, vertices, 4);
}

int TCoverageProbe::GetAlpha() const
{
    // The coverage is drawn as grey; the target takes its lowest colour byte.
    return static_cast<int>(mPixel.At(0, 0) & 0xFFu);
}
