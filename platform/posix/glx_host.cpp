#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstring>

#include "platform/host_gl.h"

// The one host window of a run, and what was made on it.
struct HostGl {
    Display* display = nullptr;
    Window host = 0;
    Window drawable = 0;    // the host itself, or a child of ours when the host's visual has no GL
    Window child = 0;       // 0 when drawing into the host
    Colormap colormap = 0;  // the child's own
    Cursor blankCursor = 0;
    GLXContext context = nullptr;
    bool gone = false;
};

static HostGl hostGl;
static int xErrors = 0;

// The host may vanish at any moment (xscreensaver destroys its window, then signals): a request
// on it must not end the run through Xlib's default handler, which exits with status 1.
static int countXError(Display*, XErrorEvent*) {
    xErrors++;
    return 0;
}

// A server that goes away takes the run with it; that is an ordinary end, not a failure.
static int endWithServer(Display*) {
    _exit(0);
}

// Double-buffered RGBA with a depth buffer: what the scene needs of a visual.
static bool visualFitsScene(Display* display, XVisualInfo* info) {
    int useGl = 0, rgba = 0, doubleBuffer = 0, depth = 0;
    return glXGetConfig(display, info, GLX_USE_GL, &useGl) == 0 && useGl &&
           glXGetConfig(display, info, GLX_RGBA, &rgba) == 0 && rgba &&
           glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubleBuffer) == 0 && doubleBuffer &&
           glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth) == 0 && depth >= 16;
}

static XVisualInfo* windowVisual(Display* display, const XWindowAttributes& attributes) {
    XVisualInfo wanted;
    memset(&wanted, 0, sizeof wanted);
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
    if (info && visualFitsScene(display, info)) return info;
    if (info) XFree(info);
    return nullptr;
}

// The visual for a child of our own: multisampled where the server has one, else plain.
static XVisualInfo* chosenVisual(Display* display, int screen) {
    int multisampled[] = {
        GLX_RGBA,         GLX_RED_SIZE,       8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 24,
        GLX_DOUBLEBUFFER, GLX_SAMPLE_BUFFERS, 1, GLX_SAMPLES,    4, None};
    int plain[] = {GLX_RGBA, GLX_RED_SIZE,   8,  GLX_GREEN_SIZE,   8,   GLX_BLUE_SIZE,
                   8,        GLX_DEPTH_SIZE, 24, GLX_DOUBLEBUFFER, None};
    int least[] = {GLX_RGBA, GLX_DEPTH_SIZE, 16, GLX_DOUBLEBUFFER, None};
    for (int* attributes : {multisampled, plain, least}) {
        XVisualInfo* info = glXChooseVisual(display, screen, attributes);
        if (info) return info;
    }
    return nullptr;
}

// A child over the whole host, in a GL visual with its own colormap. It selects no input, so
// keys and pointer motion still reach the host's owner.
static Window makeChild(Display* display, Window host, const XWindowAttributes& hostAttributes,
                        XVisualInfo* info, Colormap* colormap) {
    *colormap = XCreateColormap(display, host, info->visual, AllocNone);
    XSetWindowAttributes attributes;
    memset(&attributes, 0, sizeof attributes);
    attributes.colormap = *colormap;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    Window child = XCreateWindow(display, host, 0, 0, (unsigned)hostAttributes.width,
                                 (unsigned)hostAttributes.height, 0, info->depth, InputOutput, info->visual,
                                 CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    XMapWindow(display, child);
    return child;
}

// The pointer is hidden over the picture. Not on the root window, which keeps a cursor after
// its client has gone and would leave the desktop without a pointer.
static Cursor hidePointer(Display* display, Window window) {
    if (window == DefaultRootWindow(display)) return 0;
    char empty[1] = {0};
    Pixmap bits = XCreateBitmapFromData(display, window, empty, 1, 1);
    XColor black;
    memset(&black, 0, sizeof black);
    Cursor cursor = XCreatePixmapCursor(display, bits, bits, &black, &black, 0, 0);
    XFreePixmap(display, bits);
    XDefineCursor(display, window, cursor);
    return cursor;
}

typedef void (*SwapIntervalExt)(Display*, GLXDrawable, int);
typedef int (*SwapIntervalMesa)(unsigned);
typedef int (*SwapIntervalSgi)(int);

// Asks the swap to wait for the display's refresh, so the saver does not spin a core; true
// when one of the extensions for it took the request.
static bool setSwapInterval(Display* display, int screen, GLXDrawable drawable) {
    const char* extensions = glXQueryExtensionsString(display, screen);
    if (!extensions) return false;
    if (strstr(extensions, "GLX_EXT_swap_control")) {
        SwapIntervalExt set = (SwapIntervalExt)glXGetProcAddress((const GLubyte*)"glXSwapIntervalEXT");
        if (set) {
            set(display, drawable, 1);
            return true;
        }
    }
    if (strstr(extensions, "GLX_MESA_swap_control")) {
        SwapIntervalMesa set = (SwapIntervalMesa)glXGetProcAddress((const GLubyte*)"glXSwapIntervalMESA");
        if (set && set(1) == 0) return true;
    }
    if (strstr(extensions, "GLX_SGI_swap_control")) {
        SwapIntervalSgi set = (SwapIntervalSgi)glXGetProcAddress((const GLubyte*)"glXSwapIntervalSGI");
        if (set && set(1) == 0) return true;
    }
    return false;
}

static bool failOpen(const char* why, std::string* problem) {
    *problem = why;
    closeHostGl();
    return false;
}

// Picks the visual and the window to draw into: the host's own when its visual fits the scene,
// else a child of ours.
static XVisualInfo* prepareDrawable(const XWindowAttributes& attributes) {
    XVisualInfo* info = windowVisual(hostGl.display, attributes);
    if (info) {
        hostGl.drawable = hostGl.host;
        return info;
    }
    info = chosenVisual(hostGl.display, XScreenNumberOfScreen(attributes.screen));
    if (!info) return nullptr;
    hostGl.child = makeChild(hostGl.display, hostGl.host, attributes, info, &hostGl.colormap);
    hostGl.drawable = hostGl.child;
    return info;
}

bool openHostGl(unsigned long window, HostGlStart* start, std::string* problem) {
    hostGl = HostGl();
    hostGl.display = XOpenDisplay(nullptr);
    if (!hostGl.display) return failOpen("cannot open the X display", problem);
    XSetErrorHandler(countXError);
    XSetIOErrorHandler(endWithServer);
    hostGl.host = (Window)window;
    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(hostGl.display, &errorBase, &eventBase))
        return failOpen("the X server has no GLX", problem);

    // Size changes and the window's end come as events; nothing else is asked for: the host's
    // owner watches the keyboard and the pointer.
    XSelectInput(hostGl.display, hostGl.host, StructureNotifyMask);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(hostGl.display, hostGl.host, &attributes))
        return failOpen("the host window has gone", problem);
    XVisualInfo* info = prepareDrawable(attributes);
    if (!info) return failOpen("no GL visual with a depth buffer", problem);
    hostGl.context = glXCreateContext(hostGl.display, info, nullptr, True);
    if (!hostGl.context) hostGl.context = glXCreateContext(hostGl.display, info, nullptr, False);
    int samples = 0;
    glXGetConfig(hostGl.display, info, GLX_SAMPLES, &samples);
    XFree(info);
    if (!hostGl.context) return failOpen("no GL context for the host window's visual", problem);
    xErrors = 0;
    bool current = glXMakeCurrent(hostGl.display, hostGl.drawable, hostGl.context);
    XSync(hostGl.display, False);
    if (!current || xErrors) return failOpen("the GL context cannot draw into the host window", problem);

    hostGl.blankCursor = hidePointer(hostGl.display, hostGl.drawable);
    start->width = attributes.width;
    start->height = attributes.height;
    start->multisampled = samples > 0;
    start->swapInterval =
        setSwapInterval(hostGl.display, XScreenNumberOfScreen(attributes.screen), hostGl.drawable);
    return true;
}

void swapHostGl() {
    // A window that has gone has nothing left to show the last frames in.
    if (hostGl.display && !hostGl.gone) glXSwapBuffers(hostGl.display, hostGl.drawable);
}

HostGlNews pollHostGl() {
    HostGlNews news;
    if (!hostGl.display) return news;
    while (XPending(hostGl.display)) {
        XEvent event;
        XNextEvent(hostGl.display, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == hostGl.host) {
            // The frames that dismantle the scene must not draw into a drawable that has gone
            // (the software renderer's buffers go with it): without a current context their GL
            // calls do nothing, and the context is destroyed at the close as before.
            if (!hostGl.gone && hostGl.context) glXMakeCurrent(hostGl.display, None, nullptr);
            hostGl.gone = true;
        } else if (event.type == ConfigureNotify && event.xconfigure.window == hostGl.host &&
                   event.xconfigure.width > 0 && event.xconfigure.height > 0) {
            news.resized = true;
            news.width = event.xconfigure.width;
            news.height = event.xconfigure.height;
        }
    }
    // The child covers the whole host at every size.
    if (news.resized && hostGl.child && !hostGl.gone)
        XResizeWindow(hostGl.display, hostGl.child, (unsigned)news.width, (unsigned)news.height);
    news.gone = hostGl.gone;
    return news;
}

void closeHostGl() {
    Display* display = hostGl.display;
    if (!display) return;
    if (hostGl.context) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, hostGl.context);
    }
    if (hostGl.child && !hostGl.gone) XDestroyWindow(display, hostGl.child);
    if (hostGl.colormap) XFreeColormap(display, hostGl.colormap);
    if (hostGl.blankCursor) {
        if (!hostGl.gone) XUndefineCursor(display, hostGl.drawable);
        XFreeCursor(display, hostGl.blankCursor);
    }
    if (!hostGl.gone) XSelectInput(display, hostGl.host, NoEventMask);
    XSync(display, False);
    XCloseDisplay(display);
    hostGl = HostGl();
}
