#pragma once

// Pictures that windows show, from the texture cache (TTexture). A picture that cannot
// be loaded leaves its window without it and is said in the log once per name while the
// window manager lives (every time without one), with who asked for it:
//     ui: window: picture "ui/btn_uo.png" cannot be loaded (asked for by Button "play",
//     assets/scripts/windows/menu.lua:12)
// A file that exists but cannot be read has had a line of its own from the image reader.

#include "engine/foundation/core/TString.h"

#include <memory>

class TTexture;
class TWindow;
class TWindowStyle;

// The line of a picture not loaded (the picture, with its mask when it has one; who asked).
inline constexpr const char* kPictureNotLoadedLog =
    "ui: window: %s cannot be loaded (asked for by %s)";

// The picture that name names (flags as TTexture::Get takes them); with a mask name, the
// picture with the mask's alpha (TTexture::GetWithMask). Null for an empty name, which
// asks for nothing and is not logged.
std::shared_ptr<TTexture> LoadWindowPicture(const TString& name, int flags, const TString& askedBy);
std::shared_ptr<TTexture> LoadWindowPicture(const TString& name, const TString& maskName, int flags,
                                            const TString& askedBy);

// Who asks, for the window that style describes: its type as scripts name it (the style's
// "typename", else its class), its name and where the style was written.
TString DescribeAsker(const TWindow& window, const TWindowStyle& style);
// who, then where when it is known ("Button \"play\", menu.lua:12").
TString DescribeAsker(const TString& who, const TString& where);
