#pragma once

// Animation files in XML. The form (element and attribute names compare exactly):
//
//   <sequence name="..." source="...">
//     <img regx="0" regy="0" w="256" h="64" name="sheet.png" mask="sheet_mask.png"/>
//     <framelist>
//       <frame x="0" y="0" w="64" h="64" regx="32" regy="60" name="a" alpha="1"
//              xform="a b c d e f">
//         <anchor name="hand" x="10" y="20"/>
//       </frame>
//       ...
//     </framelist>
//     <script luascript="..."/>      (or the script as the element's text)
//   </sequence>
//
// Numbers read as atoi/atof read them; a missing integer is 0 and a missing alpha 1. A
// frame without "regx" takes the previous frame's registration point (0, 0 for the
// first); a later frame without "xform" takes the previous frame's transform, and
// "xform" gives up to six numbers a to f, the ones not given keeping their initial
// values (no transform; then 0). Without a "script" element the default script is made.
// A frame coordinate beyond TAnimationData::kMaxCoordinate refuses the file.
//
// NOTE: the XML reader joins an element's words with single spaces, so a script given
// as element text loses its line breaks: a "--" comment there swallows the rest.

#include "engine/foundation/core/TString.h"

struct TAnimationData;

// LoadAnimationXml's log lines for a file that lacks a part (the path).
inline constexpr const char* kAnimationXmlNoSequenceLog =
    "graphics: animation: %s: no sequence element";
inline constexpr const char* kAnimationXmlNoImageLog = "graphics: animation: %s: no img element";
inline constexpr const char* kAnimationXmlNoFrameListLog =
    "graphics: animation: %s: no framelist element";
inline constexpr const char* kAnimationXmlNoFramesLog = "graphics: animation: %s: no frames";

// Reads the animation file at path into data (whose frames must be empty). False, with
// a log line naming path, when the file cannot be opened or lacks "sequence", "img" or a
// "framelist" with at least one "frame" (whatever could be read still is).
bool LoadAnimationXml(const TString& path, TAnimationData& data);
