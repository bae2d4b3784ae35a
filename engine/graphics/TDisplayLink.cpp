#include "engine/graphics/TDisplayLink.h"

#include "engine/graphics/TDXContext.h"
#include "engine/graphics/TDxDisplayHandler.h"

bool TDisplayLink::SetDisplay(int width, int height, bool fullScreen, bool hosted)
{
    mHandler.SetDisplay(width, height, fullScreen, false, false, hosted);
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

void TDisplayLink::Restore()
{
    mHandler.Restore();
}

bool TDisplayLink::IsFullScreen() const
{
    return mHandler.IsFullScreen();
}

bool TDisplayLink::SetFullScreen(bool fullScreen)
{
    return mHandler.SetFullScreen(fullScreen);
}

void TDisplayLink::ResetWorkingCount()
{
    mHandler.ResetWorkingCount();
}

void TDisplayLink::UpdateDesktopMode()
{
    mHandler.UpdateDesktopMode();
}

void TDisplayLink::SetVSync(bool on)
{
    mHandler.SetVSync(on);
}

void TDisplayLink::OutOfVideoMemory()
{
    mHandler.OutOfVideoMemory();
}

TDisplaySeam::TPoint TDisplayLink::MoveMouse(int windowX, int windowY)
{
    return mHandler.GetContext().MoveMouse(windowX, windowY);
}

TDisplaySeam::TPoint TDisplayLink::GetMousePosition() const
{
    return mHandler.GetContext().GetMousePosition();
}

void TDisplayLink::EraseMouse()
{
    mHandler.GetContext().HideCursor();
}

void TDisplayLink::UpdateWindowBounds()
{
    mHandler.GetContext().UpdateWindowBounds();
}

void TDisplayLink::ShowMouse(bool show)
{
    mHandler.GetContext().ShowMouse(show);
}

void TDisplayLink::SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY, bool)
{
    mHandler.GetContext().SetMouseImage(image, hotX, hotY);
}
