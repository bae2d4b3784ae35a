#include "engine/graphics/TTexture.h"

TAsset::TClassId TTexture::ClassId()
{
    static const char id = 0;
    return &id;
}

std::shared_ptr<TTexture> TTexture::Create(int width, int height, bool alpha)
{
    auto texture = std::make_shared<TTexture>();
    TTextureData& data = texture->GetData();
    data.SetFlags(alpha ? TTextureData::kAlpha : 0);
    if (!data.CreateSurface(width, height, true))
        return nullptr;
    data.SetImageSize(width, height);
    return texture;
}
