// xpeek WINDOW X Y: prints the colour of the pixel at (X, Y) of an X window as rrggbb.
// xpeek WINDOW X Y W H: prints a fingerprint of the pixels in the rectangle at (X, Y) of
// size W x H instead: 16 hexadecimal digits that change whenever a pixel there changes.
// WINDOW is the window's id, as xdotool prints it. Exit code 0 with the answer, 1 when
// the window or the rectangle cannot be read, 2 for a wrong command line or without an
// X display. The scripted menu walk-through waits with it until what it did shows.

#include "tools/support/ToolMain.h"
#include "tools/support/ToolOptions.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>

namespace {

const TToolHelp kHelp{
    "xpeek", "WINDOW X Y [W H]",
    "Prints the colour (rrggbb) of a pixel of an X window, or a fingerprint of a rectangle's "
    "pixels.",
    "  WINDOW              the window's id, as xdotool prints it (decimal or 0x hexadecimal)\n"
    "  X Y                 the pixel, or the rectangle's corner: -32768 to 32767\n"
    "  W H                 the rectangle's size: 1 to 32767; its fingerprint is 16\n"
    "                      hexadecimal digits that change whenever a pixel there changes\n"};

int XErrorQuietly(Display*, XErrorEvent*)
{
    return 0; // a vanished window shows as a failed XGetImage
}

// FNV-1a over the rectangle's pixel values, row by row.
uint64_t Fingerprint(XImage* image, int width, int height)
{
    uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            for (int byte = 0; byte < 4; ++byte) {
                hash ^= (pixel >> (8 * byte)) & 0xff;
                hash *= 1099511628211ull;
            }
        }
    }
    return hash;
}

// The pixel at (0, 0) as rrggbb, whatever the masks of the image's visual.
unsigned long Colour(XImage* image)
{
    const unsigned long pixel = XGetPixel(image, 0, 0);
    unsigned long colour = 0;
    for (const unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask}) {
        const unsigned long channel = mask != 0 ? (pixel & mask) >> __builtin_ctzl(mask) : 0;
        const unsigned long top = mask != 0 ? mask >> __builtin_ctzl(mask) : 1;
        colour = (colour << 8) | (channel * 255 / top);
    }
    return colour;
}

int Peek(int argc, char** argv)
{
    if (argc != 4 && argc != 6)
        return UsageError(kHelp);
    int64_t values[5] = {0, 0, 0, 1, 1}; // WINDOW X Y W H
    if (!ReadWholeNumber("xpeek", "WINDOW", argv[1], 1, 0xffffffff, values[0]) ||
        !ReadWholeNumber("xpeek", "X", argv[2], -32768, 32767, values[1]) ||
        !ReadWholeNumber("xpeek", "Y", argv[3], -32768, 32767, values[2]) ||
        (argc == 6 && (!ReadWholeNumber("xpeek", "W", argv[4], 1, 32767, values[3]) ||
                       !ReadWholeNumber("xpeek", "H", argv[5], 1, 32767, values[4]))))
        return 2;
    const Window window = static_cast<Window>(values[0]);
    const int x = static_cast<int>(values[1]);
    const int y = static_cast<int>(values[2]);
    const int width = static_cast<int>(values[3]);
    const int height = static_cast<int>(values[4]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "xpeek: no X display\n");
        return 2;
    }
    XSetErrorHandler(XErrorQuietly);
    XImage* image = XGetImage(display, window, x, y, static_cast<unsigned int>(width),
                              static_cast<unsigned int>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "xpeek: cannot read %dx%d at (%d, %d) of window %s\n", width, height,
                     x, y, argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    if (argc == 4)
        std::printf("%06lx\n", Colour(image));
    else
        std::printf("%016llx\n",
                    static_cast<unsigned long long>(Fingerprint(image, width, height)));
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Peek);
}
