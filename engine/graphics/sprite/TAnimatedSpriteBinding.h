#pragma once

// What an animated sprite's script reaches: the sprite's operations as globals of its
// script state, bound to that sprite. Scripts and the animation library use these
// names: change them together.
//
//   SetCurrentFrame(frame)      WaitLuaNextFrame([ms])     Die()
//   Pause(pause, depth)         IsPlaying(depth) -> bool   Load(file, image, mask) -> bool
//   GetScript() -> string       SetAlpha(alpha)            SetLayer(layer)
//   RemoveSprite()              Random(a, b) -> number
//
// Numbers are truncated toward zero where the operation takes a whole number. A call
// made after the sprite has died raises a script error instead.

struct lua_State;
class TAnimatedSprite;

void PublishAnimatedSprite(lua_State* L, TAnimatedSprite& sprite);
