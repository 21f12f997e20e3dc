#include "app/video.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "content/layout.h"
#include "platform/cover_windows.h"
#include "platform/desk_gl.h"
#include "platform/host_gl.h"
#include "platform/host_window.h"
#include "platform/video_driver.h"

// The camera: vertical field of view in degrees, and the near and far clipping planes.
static const float nearPlane = 0.1f;
static const double farPlane = 250.0;

#ifndef GL_MULTISAMPLE
#define GL_MULTISAMPLE 0x809D
#endif
#ifndef GL_LIGHT_MODEL_COLOR_CONTROL
#define GL_LIGHT_MODEL_COLOR_CONTROL 0x81F8
#define GL_SEPARATE_SPECULAR_COLOR 0x81FA
#endif

// Full screen wears a transparent cursor rather than none: SDL_ShowCursor(0) there puts SDL 1.2
// (and sdl12-compat, which copies it) into relative mouse mode, where sdl12-compat reports no
// motion from pointer moves and the run would not end on them.
static SDL_Cursor* blankCursor = nullptr;

static void hidePointer() {
    static Uint8 bits[8] = {0};  // data and mask both clear: every pixel transparent
    if (!blankCursor) blankCursor = SDL_CreateCursor(bits, bits, 8, 8, 0, 0);
    if (blankCursor) {
        SDL_SetCursor(blankCursor);
    } else {
        SDL_ShowCursor(0);
    }
}

void Viewport::openVideo(int32_t modeWidth, int32_t modeHeight, int32_t modeBits) {
    initVideo(modeWidth, modeHeight, modeBits);
    // A host window's pointer, and that over the platform's own surfaces, is hidden there.
    if (hosted || ownSurfaces) return;
    if (windowed) {
        SDL_ShowCursor(1);
    } else {
        hidePointer();
    }
}

// Whatever ends the process once the mode may be changed (a missing archive exits from deep
// inside the scene) must hand the desktop its own mode back; a second SDL_Quit does nothing.
static void restoreDesktopAtExit() {
    SDL_Quit();
}

static void startSdl(Uint32 subsystems) {
    if (SDL_Init(subsystems) < 0) {
        fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
        exitOnVideoFailure();
    }
    static bool restoreRegistered = false;
    if (!restoreRegistered) restoreRegistered = atexit(restoreDesktopAtExit) == 0;
}

void Viewport::initVideo(int32_t modeWidth, int32_t modeHeight, int32_t modeBits) {
    // A window handed over by a screensaver framework sets the size; the settings' mode does not apply.
    if (!windowed && hostWindowSize(nullptr, nullptr)) {
        openHostVideo();
        return;
    }
    if (!windowed && openOwnSurfaces()) return;
    chooseVideoDriver();
    watchDeskServer();
    // Only the run's own full screen covers the other monitors: a host window's framework owns
    // the screens, and an ordinary window leaves the desktop usable. The covers come first, so
    // no other monitor shows the desktop once the scene is up.
    ScreenRect scene = {};
    bool covering = !windowed && openCoverWindows(&scene);
    if (covering) placeFullScreenWindow(scene);
    startSdl(SDL_INIT_VIDEO);
    if (modeWidth != 0 || modeHeight != 0 || modeBits != 0) {
        width = modeWidth;
        height = modeHeight;
        bitsPerPixel = modeBits;
    } else if (covering) {
        // The desktop mode of the primary monitor, not of the whole desk.
        width = scene.width;
        height = scene.height;
        bitsPerPixel = SDL_GetVideoInfo()->vfmt->BitsPerPixel;
    } else {
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        width = info->current_w;
        height = info->current_h;
        bitsPerPixel = info->vfmt->BitsPerPixel;
    }
    createGlContext();
}

static void setGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 4);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
    // Wait for the vertical retrace so the saver does not spin a core; harmless where ignored.
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
}

// The second try: a plain visual, whatever the driver offers. -1 is "either"; 0 would ask for a
// software-only visual (GLX_SLOW_VISUAL_EXT, WGL_NO_ACCELERATION_ARB), which most drivers lack.
static void dropMultisampling() {
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, -1);
}

static Uint32 videoFlags(bool windowed) {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    Uint32 flags = SDL_OPENGL | SDL_FULLSCREEN | SDL_HWSURFACE | SDL_ASYNCBLIT;
    if (info && info->blit_hw) flags |= SDL_HWACCEL;
    if (windowed) flags = (flags & ~(Uint32)SDL_FULLSCREEN) | SDL_RESIZABLE;
    return flags;
}

int32_t Viewport::createGlContext() {
    Uint32 flags = videoFlags(windowed);
    if (windowed) SDL_WM_SetCaption("Lumivane", "Lumivane");

    setGlAttributes();
    screenSurface = SDL_SetVideoMode(width, height, 32, flags);
    if (screenSurface) {
        glEnable(GL_MULTISAMPLE);
    } else {
        // After one failed mode sdl12-compat refuses every other until its video starts again.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        startSdl(SDL_INIT_VIDEO);
        if (windowed) SDL_WM_SetCaption("Lumivane", "Lumivane");
        setGlAttributes();
        dropMultisampling();
        screenSurface = SDL_SetVideoMode(width, height, 32, flags);
        if (!screenSurface) {
            fprintf(stderr, "Video mode set failed: %s\n", SDL_GetError());
            exitOnVideoFailure();
        }
    }
    int interval = 0;
    settleGlContext(SDL_GL_GetAttribute(SDL_GL_SWAP_CONTROL, &interval) == 0 && interval == 1);
    return 1;
}

// SDL is started for its clock alone: the context is made on the host window directly, which
// works whether SDL can draw into a foreign window or not.
void Viewport::openHostVideo() {
    startSdl(0);
    HostGlStart start;
    std::string problem;
    if (!openHostGl(hostWindowHandle(), &start, &problem)) {
        fprintf(stderr, "Video mode set failed: %s\n", problem.c_str());
        exitOnVideoFailure();
    }
    hosted = true;
    adoptGlStart(start);
}

// A context made by the platform rather than by SDL: its size and what it can do.
void Viewport::adoptGlStart(const HostGlStart& start) {
    width = start.width;
    height = start.height;
    bitsPerPixel = 32;
    if (start.multisampled) glEnable(GL_MULTISAMPLE);
    settleGlContext(start.swapInterval);
}

// Where the platform can cover every output itself, above panels and notifications, the run uses
// that; SDL then keeps only the clock. The settings' mode does not apply: each output keeps its own.
bool Viewport::openOwnSurfaces() {
    HostGlStart start;
    std::string problem;
    if (!openDeskGl(outputName, &start, &problem)) {
        if (!problem.empty()) fprintf(stderr, "%s\n", problem.c_str());
        return false;
    }
    startSdl(0);
    ownSurfaces = true;
    adoptGlStart(start);
    return true;
}

void Viewport::settleGlContext(bool intervalSet) {
    applyGlState();
    swapWaitsForDisplay = intervalSet && !isSoftwareRenderer((const char*)glGetString(GL_RENDERER));
    setProjection(width, height);
    // For the tests of scaled displays: the size the picture is really drawn at, as GL has it.
    const char* report = getenv("LUMIVANE_REPORT_VIDEO");
    if (report && *report) {
        GLint box[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, box);
        int32_t client[2] = {-1, -1}, screen[2] = {-1, -1};
        windowAndScreenSize(client, screen);
        fprintf(stderr, "lumivane: video %dx%d, GL viewport %dx%d, window client %dx%d, screen %dx%d\n",
                width, height, box[2], box[3], client[0], client[1], screen[0], screen[1]);
    }
}

bool isSoftwareRenderer(const char* renderer) {
    static const char* const names[] = {"llvmpipe", "softpipe", "Software Rasterizer", "SWR", "GDI Generic"};
    if (!renderer) return true;
    for (const char* name : names) {
        if (strstr(renderer, name)) return true;
    }
    return false;
}

bool hasExtension(const char* extensions, const char* name) {
    return extensions && name && strstr(extensions, name) != nullptr;
}

void applyGlState() {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.9f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // Specular highlights added after texturing, where the driver can.
    const char* extensions = (const char*)glGetString(GL_EXTENSIONS);
    if (hasExtension(extensions, "GL_EXT_separate_specular_color"))
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    // Every mesh is drawn from client arrays with all three.
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}

int32_t Viewport::setProjection(int32_t viewWidth, int32_t viewHeight) {
    if (viewHeight == 0) viewHeight = 1;
    float aspect = (float)viewWidth / (float)viewHeight;
    glViewport(0, 0, viewWidth, viewHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    GLdouble modelview[16];
    GLdouble projection[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    // Depth -1 lies outside the depth range but still on the corner ray; only x/z and y/z are used.
    gluUnProject(0.0, 0.0, -1.0, modelview, projection, view, &viewCorner.x, &viewCorner.y, &viewCorner.z);
    return 1;
}

ViewEdges Viewport::edges() const {
    return ViewEdges{viewCorner, height, width};
}

double Viewport::edgeXAtDepth(double depth) const {
    return edges().edgeXAtDepth(depth);
}

double Viewport::edgeYAtDepth(double depth) const {
    return edges().edgeYAtDepth(depth);
}

void Viewport::resizeWindow(int32_t newWidth, int32_t newHeight) {
    if (!windowed || newWidth <= 0 || newHeight <= 0) return;
    if (resizeKeepsGlContext()) {
        SDL_Surface* resized = SDL_SetVideoMode(newWidth, newHeight, 32, videoFlags(true));
        if (!resized) return;  // the old window still works at its old size
        screenSurface = resized;
    }
    width = newWidth;
    height = newHeight;
    setProjection(width, height);
}

void Viewport::toggleFullScreen() {
    if (!hosted && !ownSurfaces) SDL_WM_ToggleFullScreen(screenSurface);
}

void Viewport::swapBuffers() {
    if (hosted) {
        swapHostGl();
    } else if (ownSurfaces) {
        swapDeskGl();
    } else {
        endIfDeskServerGone();
        SDL_GL_SwapBuffers();
    }
}

bool Viewport::frameWanted() {
    return !ownSurfaces || deskGlFrameWanted();
}

void Viewport::waitForDisplay(uint32_t ms) {
    if (ownSurfaces) {
        waitForDeskGl(ms);
    } else {
        SDL_Delay(ms);
    }
}

// The platform's own surfaces: their new size, and the input on them.
static VideoNews followOwnSurfaces(Viewport* view) {
    VideoNews news;
    DeskGlNews desk = pollDeskGl();
    if (desk.resized && (desk.width != view->width || desk.height != view->height)) {
        view->width = desk.width;
        view->height = desk.height;
        view->setProjection(view->width, view->height);
        news.resized = true;
    }
    news.inputEnds = desk.inputEnds;
    news.pointerMoved = desk.pointerMoved;
    return news;
}

VideoNews Viewport::pollVideo() {
    VideoNews news;
    if (ownSurfaces) return followOwnSurfaces(this);
    endIfDeskServerGone();
    if (!hosted) return news;
    HostGlNews host = pollHostGl();
    if (host.resized && (host.width != width || host.height != height)) {
        width = host.width;
        height = host.height;
        setProjection(width, height);
        news.resized = true;
    }
    news.gone = host.gone;
    return news;
}

void Viewport::closeVideo() {
    if (hosted) closeHostGl();
    if (ownSurfaces) closeDeskGl();
    hosted = false;
    ownSurfaces = false;
    if (blankCursor) SDL_FreeCursor(blankCursor);
    blankCursor = nullptr;
    SDL_Quit();
    closeCoverWindows();
    screenSurface = nullptr;
}

void exitOnVideoFailure() {
    closeHostGl();
    closeDeskGl();
    SDL_Quit();
    closeCoverWindows();
    exit(1);
}
