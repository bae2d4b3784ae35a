#include "engine/graphics/TDisplayLink.h"

#include "engine/graphics/TDXContext.h"
#include "engine/graphics/TDisplaySetup.h"
#include "engine/graphics/TDxDisplayHandler.h"

TDisplayLink::TDisplayLink(TDxDisplayHandler& handler)
    : mHandler(handler), mSetup(handler.GetSetup())
{
}

bool TDisplayLink::SetDisplay(int width, int height, bool fullScreen)
{
    mSetup.SetDisplay({.width = width, .height = height, .fullScreen = fullScreen});
    return mHandler.IsValid();
}

void TDisplayLink::CalibrateTexelOffset()
{
    mHandler.CalibrateTexelOffset();
}

bool TDisplayLink::IsValid() const
{
    return mHandler.IsValid();
}

bool TDisplayLink::HasFailed() const
{
    return mSetup.HasFailed();
}

void TDisplayLink::Restore()
{
    mSetup.Restore();
}

bool TDisplayLink::IsFullScreen() const
{
    return mSetup.IsFullScreen();
}

bool TDisplayLink::SetFullScreen(bool fullScreen)
{
    return mSetup.SetFullScreen(fullScreen);
}

void TDisplayLink::ResetWorkingCount()
{
    mSetup.ResetWorkingCount();
}

void TDisplayLink::UpdateDesktopMode()
{
    mSetup.UpdateDesktopMode();
}

void TDisplayLink::SetVSync(bool on)
{
    mSetup.SetVSync(on);
}

void TDisplayLink::OutOfVideoMemory()
{
    mSetup.OutOfVideoMemory();
}

TDisplaySeam::TPoint TDisplayLink::MoveMouse(int windowX, int windowY)
{
    return mSetup.GetContext().MoveMouse(windowX, windowY);
}

TDisplaySeam::TPoint TDisplayLink::GetMousePosition() const
{
    return mSetup.GetContext().GetMousePosition();
}

void TDisplayLink::EraseMouse()
{
    mSetup.GetContext().HideCursor();
}

void TDisplayLink::UpdateWindowBounds()
{
    mSetup.GetContext().UpdateWindowBounds();
}

void TDisplayLink::ShowMouse(bool show)
{
    mSetup.GetContext().ShowMouse(show);
}

void TDisplayLink::SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY, bool)
{
    mSetup.GetContext().SetMouseImage(image, hotX, hotY);
}
