// Counts a program's buffer swaps, for measuring the frame rate of programs we did not write
// (scripts/cpu-use.sh preloads it into the saver and into xscreensaver's hacks alike). The count
// lives in the file LUMIVANE_SWAP_COUNT names, mapped shared, so a reader sees it at any moment
// without the program having to end cleanly; swaps cost no system call.
#include <EGL/egl.h>
#include <GL/glx.h>
#include <SDL/SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

static volatile uint64_t* counter = nullptr;
static bool opened = false;
// SDL swaps through a glXSwapBuffers it looked up itself, or through ours: a swap counts once.
static thread_local bool insideSdlSwap = false;

static void countSwap() {
    if (!opened) {
        opened = true;
        const char* path = getenv("LUMIVANE_SWAP_COUNT");
        int fd = path && *path ? open(path, O_RDWR | O_CREAT | O_NOFOLLOW, 0600) : -1;
        if (fd < 0) return;
        if (ftruncate(fd, sizeof(uint64_t)) == 0) {
            void* mapped = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (mapped != MAP_FAILED) counter = (volatile uint64_t*)mapped;
        }
        close(fd);
    }
    if (counter) *counter = *counter + 1;
}

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*next)(Display*, GLXDrawable) =
        (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (!insideSdlSwap) countSwap();
    if (next) next(display, drawable);
}

// xscreensaver's hacks draw through EGL where it is there.
extern "C" EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*next)(EGLDisplay, EGLSurface) =
        (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT, "eglSwapBuffers");
    countSwap();
    return next ? next(display, surface) : EGL_FALSE;
}

extern "C" void SDL_GL_SwapBuffers(void) {
    static void (*next)(void) = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    countSwap();
    insideSdlSwap = true;
    if (next) next();
    insideSdlSwap = false;
}
