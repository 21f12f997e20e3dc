#include "platform/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

static EGLDisplay offscreenDisplay = EGL_NO_DISPLAY;
static EGLSurface offscreenSurface = EGL_NO_SURFACE;
static EGLContext offscreenContext = EGL_NO_CONTEXT;

bool openOffscreenGl(int width, int height) {
    closeOffscreenGl();
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!getPlatformDisplay) return false;
    offscreenDisplay = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (offscreenDisplay == EGL_NO_DISPLAY || !eglInitialize(offscreenDisplay, nullptr, nullptr)) return false;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                                    EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
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

void closeOffscreenGl() {
    if (offscreenDisplay == EGL_NO_DISPLAY) return;
    eglMakeCurrent(offscreenDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (offscreenContext != EGL_NO_CONTEXT) eglDestroyContext(offscreenDisplay, offscreenContext);
    if (offscreenSurface != EGL_NO_SURFACE) eglDestroySurface(offscreenDisplay, offscreenSurface);
    eglTerminate(offscreenDisplay);
    offscreenDisplay = EGL_NO_DISPLAY;
    offscreenSurface = EGL_NO_SURFACE;
    offscreenContext = EGL_NO_CONTEXT;
}
