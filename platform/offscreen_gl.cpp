#include "platform/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

static EGLDisplay offscreenDisplay = EGL_NO_DISPLAY;
static EGLSurface offscreenSurface = EGL_NO_SURFACE;
static EGLContext offscreenContext = EGL_NO_CONTEXT;
static const char* offscreenDisplayName = "none";

// Mesa's surfaceless platform needs no window system at all.
static EGLDisplay surfacelessDisplay() {
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY && !eglInitialize(display, nullptr, nullptr)) return EGL_NO_DISPLAY;
    return display;
}

// Drivers without it (NVIDIA's) give a headless display as their default one.
static EGLDisplay defaultDisplay() {
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && !eglInitialize(display, nullptr, nullptr)) return EGL_NO_DISPLAY;
    return display;
}

bool openOffscreenGl(int width, int height, bool defaultDisplayOnly) {
    closeOffscreenGl();
    offscreenDisplayName = "surfaceless";
    if (!defaultDisplayOnly) offscreenDisplay = surfacelessDisplay();
    if (offscreenDisplay == EGL_NO_DISPLAY) {
        offscreenDisplayName = "default";
        offscreenDisplay = defaultDisplay();
    }
    if (offscreenDisplay == EGL_NO_DISPLAY) return false;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_DEPTH_SIZE,
                                    24,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(offscreenDisplay, configAttribs, &config, 1, &count) || count < 1) return false;
    eglBindAPI(EGL_OPENGL_API);
    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    offscreenSurface = eglCreatePbufferSurface(offscreenDisplay, config, surfaceAttribs);
    offscreenContext = eglCreateContext(offscreenDisplay, config, EGL_NO_CONTEXT, nullptr);
    if (offscreenSurface == EGL_NO_SURFACE || offscreenContext == EGL_NO_CONTEXT) return false;
    return eglMakeCurrent(offscreenDisplay, offscreenSurface, offscreenSurface, offscreenContext) == EGL_TRUE;
}

const char* offscreenGlDisplay() {
    return offscreenDisplayName;
}

void closeOffscreenGl() {
    offscreenDisplayName = "none";
    if (offscreenDisplay == EGL_NO_DISPLAY) return;
    eglMakeCurrent(offscreenDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (offscreenContext != EGL_NO_CONTEXT) eglDestroyContext(offscreenDisplay, offscreenContext);
    if (offscreenSurface != EGL_NO_SURFACE) eglDestroySurface(offscreenDisplay, offscreenSurface);
    eglTerminate(offscreenDisplay);
    offscreenDisplay = EGL_NO_DISPLAY;
    offscreenSurface = EGL_NO_SURFACE;
    offscreenContext = EGL_NO_CONTEXT;
}
