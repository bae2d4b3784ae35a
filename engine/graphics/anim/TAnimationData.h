#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/graphics/anim/TAnimationFrame.h"

#include <vector>

// What an animation file holds, and where its texture stands: the frames of one sheet
// image (with an optional mask), the script that plays them, and the frame currently
// shown. Filled by LoadAnimationXml or LoadAnimationAnm; owned by TAnimatedTexture.
struct TAnimationData
{
    // Frame rectangles, registration points and named points lie within +-kMaxCoordinate
    // (a file with others is refused), so sums of them never overflow.
    static constexpr int kMaxCoordinate = 1 << 24;

    TString sequenceName;   // from the file, kept
    TString sequenceSource; // from the file, kept
    TString fileName;       // the name the texture was asked for with
    TString imageName;      // the sheet, relative to folder
    TString maskName;       // its mask, relative to folder; empty for none
    TString folder;         // the animation file's folder with its trailing separator
    TString script;         // Lua source that plays the frames
    int maxFrameWidth = 0;
    int maxFrameHeight = 0;
    int currentFrame = 0; // -1: none (nothing is drawn)
    int imageRegX = 0;    // from the file, kept
    int imageRegY = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<TAnimationFrame> frames;

    int GetFrameCount() const { return static_cast<int>(frames.size()); }
    // The frame at index, or null when there is none.
    const TAnimationFrame* FindFrame(int index) const
    {
        return index >= 0 && index < GetFrameCount() ? &frames[static_cast<size_t>(index)]
                                                     : nullptr;
    }
    // Widens the largest frame size to take frame in.
    void NoteFrameSize(const TAnimationFrame& frame);
    // Whether every coordinate of every frame lies within +-kMaxCoordinate.
    bool AreFramesInRange() const;

    // The script of a file without one: "DoAnim" shows frames 1 to frameCount (the
    // library's frame numbers count from 1) 60 ms apart.
    static TString MakeDefaultScript(int frameCount);
};
