#include "engine/graphics/sprite/TAnimatedSpriteBinding.h"

#include "engine/graphics/sprite/TAnimatedSprite.h"
#include "engine/script/LuaBinder.h"

void PublishAnimatedSprite(lua_State* L, TAnimatedSprite& sprite)
{
    Publish<&TAnimatedSprite::SetCurrentFrame>(L, "SetCurrentFrame", sprite);
    Publish<&TAnimatedSprite::WaitLuaNextFrame>(L, "WaitLuaNextFrame", sprite);
    Publish<&TAnimatedSprite::Die>(L, "Die", sprite);
    Publish<&TAnimatedSprite::Pause>(L, "Pause", sprite);
    Publish<&TAnimatedSprite::IsPlaying>(L, "IsPlaying", sprite);
    Publish<&TAnimatedSprite::Load>(L, "Load", sprite);
    Publish<&TAnimatedSprite::GetScript>(L, "GetScript", sprite);
    Publish<&TSprite::SetAlpha>(L, "SetAlpha", sprite);
    Publish<&TSprite::SetLayer>(L, "SetLayer", sprite);
    Publish<&TAnimatedSprite::RemoveSprite>(L, "RemoveSprite", sprite);
    Publish<&TAnimatedSprite::Random>(L, "Random", sprite);
}
