#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TDisplayOutput;

// The main window of the process. Created hidden by TVideoSystem::CreateWindow; the
// destructor destroys it. Every operation is for the main thread only.
class TNativeWindow
{
public:
    virtual ~TNativeWindow() = default;

    // Sets the caption; the text is UTF-8, cut (with a log line) to a length the window
    // system takes in one request (1024 characters on SDL).
    virtual void SetTitle(const std::string& utf8Title) = 0;
    virtual std::string GetTitle() const = 0;

    // Shows the window (it is created hidden) and raises it.
    virtual void Show() = 0;
    virtual bool IsShown() const = 0;
    virtual bool IsMinimized() const = 0;

    // True when the window has keyboard focus.
    virtual bool HasInputFocus() const = 0;

    // Keeps mouse events coming while a button is held outside the window; false undoes.
    virtual void CaptureMouse(bool capture) = 0;

    // Client area size in pixels.
    virtual void GetSize(int& width, int& height) const = 0;

    // Sets the window icon from 32-bit 0xAARRGGBB pixels, width * height of them.
    virtual void SetIcon(const uint32_t* pixels, int width, int height) = 0;

    // What shows the display's frames in this window (TDisplayOutput). The caller owns it
    // and must delete it before the window. Null, with a log line, when this window
    // cannot show frames.
    virtual std::unique_ptr<TDisplayOutput> CreateDisplayOutput() = 0;
};
