#include "platform/cover_windows.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstdlib>

// A connection of our own: SDL's is private to it, and closing ours takes every cover with it,
// however the process ends.
static Display* coverDisplay = nullptr;
static Cursor blankCursor = None;
static int randrEventBase = 0;
static ScreenRect sceneRect = {};
static CoverList covers = {};
static uint32_t lastLookMs = 0;

// Monitors as RandR 1.5 reports them (a server split with `xrandr --setmonitor` included).
static int32_t readMonitors(ScreenRect* monitors, int32_t* primary) {
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(coverDisplay, DefaultRootWindow(coverDisplay), True, &count);
    *primary = -1;
    if (!info) return 0;
    int32_t read = 0;
    for (int i = 0; i < count && read < MONITOR_LIST_SIZE; i++) {
        if (info[i].primary) *primary = read;
        monitors[read++] = {info[i].x, info[i].y, info[i].width, info[i].height};
    }
    XRRFreeMonitors(info);
    return read;
}

static bool randrHasMonitors(Display* display) {
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &randrEventBase, &errorBase)) return false;
    if (!XRRQueryVersion(display, &major, &minor)) return false;
    return major > 1 || (major == 1 && minor >= 5);
}

static Cursor makeBlankCursor(Window root) {
    static const char noBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(coverDisplay, root, noBits, 1, 1);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(coverDisplay, empty, empty, &black, &black, 0, 0);
    XFreePixmap(coverDisplay, empty);
    return cursor;
}

static uintptr_t openCover(const ScreenRect& rect) {
    int screen = DefaultScreen(coverDisplay);
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(coverDisplay, screen);
    attributes.cursor = blankCursor;
    attributes.event_mask = KeyPressMask | PointerMotionMask;
    Window window =
        XCreateWindow(coverDisplay, RootWindow(coverDisplay, screen), rect.x, rect.y, (unsigned)rect.width,
                      (unsigned)rect.height, 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel | CWCursor | CWEventMask, &attributes);
    XStoreName(coverDisplay, window, "Lumivane cover");
    XMapRaised(coverDisplay, window);
    return window;
}

static void closeCover(uintptr_t handle) {
    XDestroyWindow(coverDisplay, (Window)handle);
}

// Covers follow the monitors: a gone monitor's cover is destroyed, a new one gets a cover, and the
// rest stay as they are (no flicker). The scene stays where it started.
static void followMonitors() {
    ScreenRect monitors[MONITOR_LIST_SIZE];
    int32_t primary = -1;
    int32_t count = readMonitors(monitors, &primary);
    CoverLayout wanted = coverLayout(monitors, count, sceneRect);
    followCoverLayout(&covers, wanted, openCover, closeCover);
    // Something else may have been raised since (a notification); the covers go back on top.
    for (int32_t i = 0; i < covers.count; i++) XRaiseWindow(coverDisplay, (Window)covers.handles[i]);
    XFlush(coverDisplay);
}

bool openCoverWindows(ScreenRect* scene) {
    closeCoverWindows();
    coverDisplay = XOpenDisplay(nullptr);
    if (!coverDisplay) return false;
    ScreenRect monitors[MONITOR_LIST_SIZE];
    int32_t primary = -1;
    int32_t count = randrHasMonitors(coverDisplay) ? readMonitors(monitors, &primary) : 0;
    // SDL numbers its full-screen heads as the server numbers the RandR monitors; a head the user
    // chose for SDL is where the scene goes, so that one stays uncovered.
    const char* head = getenv("SDL_VIDEO_FULLSCREEN_HEAD");
    if (head && *head) primary = atoi(head);
    int32_t chosen = sceneMonitor(monitors, count, primary);
    if (chosen < 0) {
        closeCoverWindows();
        return false;
    }
    static bool closeRegistered = false;
    if (!closeRegistered) closeRegistered = atexit(closeCoverWindows) == 0;
    sceneRect = monitors[chosen];
    Window root = DefaultRootWindow(coverDisplay);
    blankCursor = makeBlankCursor(root);
    // A one-monitor desk is watched too: a monitor plugged in later gets its cover.
    XRRSelectInput(coverDisplay, root,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    followMonitors();
    // The covers are on the screen before the scene's window opens.
    XSync(coverDisplay, False);
    if (covers.count == 0) return false;
    // SDL's full-screen window goes on that head.
    char chosenHead[16];
    snprintf(chosenHead, sizeof chosenHead, "%d", (int)chosen);
    setenv("SDL_VIDEO_FULLSCREEN_HEAD", chosenHead, 1);
    *scene = sceneRect;
    return true;
}

CoverInput pollCoverWindows(uint32_t nowMs) {
    CoverInput input = {false, false};
    if (!coverDisplay) return input;
    bool changed = nowMs - lastLookMs >= coverRecheckMs;
    while (XPending(coverDisplay)) {
        XEvent event;
        XNextEvent(coverDisplay, &event);
        if (event.type == KeyPress) {
            input.escapePressed = input.escapePressed || XLookupKeysym(&event.xkey, 0) == XK_Escape;
        } else if (event.type == MotionNotify) {
            input.pointerMoved = true;
        } else if (event.type == randrEventBase + RRScreenChangeNotify) {
            XRRUpdateConfiguration(&event);
            changed = true;
        } else if (event.type == randrEventBase + RRNotify) {
            changed = true;  // an output plugged in or out, or a monitor's mode set
        }
    }
    if (changed) {
        lastLookMs = nowMs;
        followMonitors();
    }
    return input;
}

void closeCoverWindows() {
    if (!coverDisplay) return;
    XCloseDisplay(coverDisplay);
    coverDisplay = nullptr;
    blankCursor = None;
    covers.count = 0;
}
