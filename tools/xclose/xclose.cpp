// xclose TITLE [SECONDS]: waits up to SECONDS (default 10) for a top-level X window whose
// name is TITLE and asks it to close the way a window manager's close button does (a
// WM_DELETE_WINDOW client message). Exit code 0 when the request was sent, 1 when no such
// window appeared (or every one found was gone before the request reached it), 2 without
// an X display. Used by the real-window smoke test.
//
// Windows come and go while it looks: one that vanishes between being listed and being
// asked must neither end the program (Xlib's default error handler would) nor count as
// closed, so errors are noted instead and each request is checked with a round trip.

#include "tools/support/ToolMain.h"
#include "tools/support/ToolOptions.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

const TToolHelp kHelp{
    "xclose", "TITLE [SECONDS]",
    "Asks the X window named TITLE to close, as a window manager's close button does.",
    "  TITLE               the window's name\n"
    "  SECONDS             how long to wait for the window: 1 to 3600 (default 10)\n"};

// The error code of the last failed request, Success when none failed since the reset.
int sLastError = Success;

int NoteError(Display*, XErrorEvent* error)
{
    sLastError = error->error_code;
    return 0;
}

std::string WindowName(Display* display, Window window)
{
    const Atom utf8Name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, utf8Name, 0, 1024, False, utf8String, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        std::string name(reinterpret_cast<char*>(data), count);
        XFree(data);
        return name;
    }
    char* plain = nullptr;
    if (XFetchName(display, window, &plain) != 0 && plain != nullptr) {
        std::string name = plain;
        XFree(plain);
        return name;
    }
    return {};
}

Window FindWindow(Display* display, Window root, const std::string& title)
{
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        if (WindowName(display, children[i]) == title)
            found = children[i];
        else
            found = FindWindow(display, children[i], title);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

// True when the request reached the window.
bool SendClose(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSync(display, False);
    sLastError = Success;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return sLastError == Success;
}

int CloseWindow(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
        return UsageError(kHelp);
    const std::string title = argv[1];
    int64_t seconds = 10;
    if (argc == 3 && !ReadWholeNumber("xclose", "SECONDS", argv[2], 1, 3600, seconds))
        return 2;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "xclose: no X display\n");
        return 2;
    }
    XSetErrorHandler(&NoteError);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const Window window = FindWindow(display, DefaultRootWindow(display), title);
        if (window != 0) {
            if (SendClose(display, window)) {
                XCloseDisplay(display);
                return 0;
            }
            std::fprintf(stderr, "xclose: window 0x%lx was gone before the request\n", window);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::fprintf(stderr, "xclose: no window named \"%s\"\n", title.c_str());
    XCloseDisplay(display);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &CloseWindow);
}
