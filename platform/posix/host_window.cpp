#include "platform/host_window.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

static bool hosted = false;
static int32_t hostWidth = 0;
static int32_t hostHeight = 0;

// A named window that does not exist leaves the run in its own mode instead of ending it.
static int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

void chooseHostWindow(const std::string& commandLine) {
    hosted = false;
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
    // SDL 1.2 draws into the window named here instead of making its own.
    char id[32];
    snprintf(id, sizeof id, "%lu", window);
    setenv("SDL_WINDOWID", id, 1);
    hosted = true;
    hostWidth = attributes.width;
    hostHeight = attributes.height;
}

bool hostWindowSize(int32_t* width, int32_t* height) {
    if (!hosted) return false;
    if (width) *width = hostWidth;
    if (height) *height = hostHeight;
    return true;
}
