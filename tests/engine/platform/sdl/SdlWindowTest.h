#pragma once

// A fixture for tests over SDL's real event queue: a video system on the dummy driver
// with one hidden 480x360 window titled "Halvorn", and a queue emptied of what opening
// them queued. Both are closed again in TearDown.

#include "engine/platform/TNativeWindow.h"
#include "engine/platform/TVideoSystem.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

class SdlWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mVideo = TVideoSystem::Create();
        ASSERT_NE(mVideo, nullptr);
        mWindow = mVideo->CreateWindow("Halvorn", 480, 360);
        ASSERT_NE(mWindow, nullptr);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    void TearDown() override
    {
        mWindow.reset();
        mVideo.reset();
    }

    std::unique_ptr<TVideoSystem> mVideo;
    std::unique_ptr<TNativeWindow> mWindow;
};
