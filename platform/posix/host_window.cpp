#include "platform/host_window.h"

#include <X11/Xlib.h>

#include <cstdlib>

static bool hosted = false;
static unsigned long hostWindow = 0;
static int32_t hostWidth = 0;
static int32_t hostHeight = 0;

// A named window that does not exist leaves the run in its own mode instead of ending it.
static int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

void chooseHostWindow(const std::string& commandLine) {
    hosted = false;
    hostWindow = 0;
    Display* display = XOpenDisplay(nullptr);
    // Without a display the video start reports the failure itself.
    if (!display) return;
    unsigned long window =
        hostWindowId(commandLine, getenv("XSCREENSAVER_WINDOW"), DefaultRootWindow(display));
    XWindowAttributes attributes;
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(ignoreXError);
    bool exists = window && XGetWindowAttributes(display, (Window)window, &attributes) &&
                  attributes.c_class == InputOutput && attributes.width > 0 && attributes.height > 0;
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    if (!exists) return;
    hosted = true;
    hostWindow = window;
    hostWidth = attributes.width;
    hostHeight = attributes.height;
}

bool hostWindowSize(int32_t* width, int32_t* height) {
    if (!hosted) return false;
    if (width) *width = hostWidth;
    if (height) *height = hostHeight;
    return true;
}

unsigned long hostWindowHandle() {
    return hosted ? hostWindow : 0;
}
