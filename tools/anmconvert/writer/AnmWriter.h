#pragma once

// Writes animations in the tagged binary form that LoadAnimationAnm reads
// (engine/graphics/anim/AnimationAnm.h has the layout). Version 1 files carry four
// unused floats after the image size and no frame alphas; later versions carry the
// alphas. The script chunk is always written.

#include <cstdint>
#include <string>

struct TAnimationData;

std::string MakeAnmBytes(const TAnimationData& data, uint32_t version = 2);
