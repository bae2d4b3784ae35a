#pragma once

// Animation files in the tagged binary form (".anm"), the same content as the XML form.
// Little-endian; u32 is an unsigned 32-bit integer, f32 an IEEE single, a string a u32
// byte count and that many bytes (no terminator); tags are 4 ASCII bytes.
//
//   "ANIM" u32 (unused) u32 version  string sequence-name  string sequence-source
//   "IMGN" u32 regx  u32 regy  u32 width  u32 height
//          (version 1 only: four f32, skipped)  string image  string mask
//   "FRMS" u32 count, then per frame:
//          u32 regx  u32 regy  u32 x  u32 y  u32 w  u32 h
//          (version 2 and later: f32 alpha; else alpha is 1)
//          f32 a b c d e f (the transform; a = -10000000 for none)
//          string name  u32 anchor-count, then per anchor: u32 x  u32 y  string name
//   "SCRP" string script     (optional; without it the default script is made)
//
// Integers are taken as signed 32-bit values. Damage policy: every read is checked; a
// count or a length that cannot fit in the bytes left, a short read, a wrong tag, a
// number that is not finite or a frame coordinate beyond TAnimationData::kMaxCoordinate
// refuses the whole file with one log line "animation: <path>: <cause>".

#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <cstdint>

struct TAnimationData;

// Reads the animation file at path into data (whose frames must be empty). False, with a
// log line, when the file cannot be opened or is refused (data is then left cleared of
// frames).
bool LoadAnimationAnm(const TString& path, TAnimationData& data);

// The same over bytes already in memory; path only names the file in the log line.
bool ParseAnimationAnm(const uint8_t* bytes, size_t size, const TString& path,
                       TAnimationData& data);
