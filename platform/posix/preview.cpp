#include "platform/preview.h"

#include <SDL/SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/install_path.h"

// A vanished parent or a window of another screen must end the preview quietly, not through
// Xlib's default handler, which prints and exits with status 1.
static int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// A server that goes away takes the preview with it; that is an ordinary end, not a failure.
static int endWithServer(Display*) {
    _exit(0);
}

// The picture is read afresh for every paint; nothing is kept between exposures.
static SDL_Surface* loadPreviewPicture() {
    SDL_RWops* file = SDL_RWFromFile(installPath.pathInInstall("preview.ppk").c_str(), "rb");
    return loadPreviewBmp(file);
}

// Channel value (0..255) scaled into the visual's mask, whatever its position and width.
static unsigned long toMask(uint32_t value, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) shift++;
    unsigned long top = mask >> shift;
    return ((value * top + 127) / 255) << shift;
}

static void paintPreview(Display* display, Window window, const Visual* visual, int depth) {
    // Any other width is black throughout, which the window's own black background already is;
    // an image of a large parent's size would only repeat it.
    if (previewWidth != previewPictureWidth) return;
    SDL_Surface* picture = loadPreviewPicture();
    std::vector<uint32_t> pixels;
    composePreview(picture, previewWidth, previewHeight, &pixels);
    if (picture) SDL_FreeSurface(picture);
    if (pixels.empty()) return;

    XImage* image = XCreateImage(display, (Visual*)visual, (unsigned)depth, ZPixmap, 0, nullptr,
                                 (unsigned)previewWidth, (unsigned)previewHeight, 32, 0);
    if (!image) return;
    image->data = (char*)calloc((size_t)image->bytes_per_line, (size_t)previewHeight);
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    for (int32_t y = 0; y < previewHeight; y++) {
        for (int32_t x = 0; x < previewWidth; x++) {
            uint32_t rgb = pixels[(size_t)y * (size_t)previewWidth + (size_t)x];
            unsigned long value = toMask(rgb >> 16 & 0xff, visual->red_mask) |
                                  toMask(rgb >> 8 & 0xff, visual->green_mask) |
                                  toMask(rgb & 0xff, visual->blue_mask);
            XPutPixel(image, x, y, value);
        }
    }
    GC gc = XCreateGC(display, window, 0, nullptr);
    XPutImage(display, window, gc, image, 0, 0, 0, 0, (unsigned)previewWidth, (unsigned)previewHeight);
    XFreeGC(display, gc);
    XDestroyImage(image);  // frees the pixel buffer too
    XFlush(display);
}

// Returns when the parent takes the child away (DestroyNotify), or when the server goes.
static void previewEventLoop(Display* display, Window window, const Visual* visual, int depth) {
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == window) return;
        // Only the last of a burst of exposures paints, so a repaint covers every region once.
        if (event.type == Expose && event.xexpose.count == 0) paintPreview(display, window, visual, depth);
    }
}

int runPreview(unsigned long parent) {
    previewParent = parent;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0;
    XSetErrorHandler(ignoreXError);
    XSetIOErrorHandler(endWithServer);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, (Window)parent, &attributes) || attributes.c_class != InputOutput) {
        XCloseDisplay(display);
        return 0;
    }
    previewWidth = attributes.width;
    previewHeight = attributes.height;

    // The parent's visual and depth, so the child can sit inside any parent.
    XSetWindowAttributes childAttributes;
    childAttributes.background_pixel = 0;
    childAttributes.border_pixel = 0;
    childAttributes.colormap = attributes.colormap;
    childAttributes.event_mask = ExposureMask | StructureNotifyMask;
    Window window =
        XCreateWindow(display, (Window)parent, 0, 0, (unsigned)previewWidth, (unsigned)previewHeight, 0,
                      attributes.depth, InputOutput, attributes.visual,
                      CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &childAttributes);
    XSync(display, False);
    // The parent went away before the child could be made: nothing to wait for.
    XWindowAttributes created;
    if (!window || !XGetWindowAttributes(display, window, &created)) {
        XCloseDisplay(display);
        return 0;
    }
    previewWindow = window;
    XMapWindow(display, window);
    previewEventLoop(display, window, attributes.visual, attributes.depth);
    XCloseDisplay(display);
    return 0;
}
