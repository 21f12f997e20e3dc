#include "platform/video_driver.h"

#include <strings.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Whether a Wayland compositor answers where libwayland would look for it.
static bool waylandCompositorAnswers() {
    const char* passed = getenv("WAYLAND_SOCKET");
    if (passed && *passed) return true;
    const char* name = getenv("WAYLAND_DISPLAY");
    if (!name || !*name) name = "wayland-0";
    std::string path = name;
    if (name[0] != '/') {
        const char* runtime = getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) return false;
        path = std::string(runtime) + "/" + name;
    }
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool answered = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return answered;
}

// Only the X11 driver gives an OpenGL mode; without it SDL would fall back to text-mode drivers
// that take over the terminal and then fail anyway. A user's Wayland choice stands where a
// compositor answers; where none does but an X display is there, X11 is used instead. The choice
// is made before SDL starts: sdl12-compat cannot be started again after a failed start (it then
// claims success with no driver, and the mode fails).
void chooseVideoDriver() {
    const char* chosen = getenv("SDL_VIDEODRIVER");
    const char* display = getenv("DISPLAY");
    if (chosen && strcasecmp(chosen, "wayland") == 0 && display && *display && !waylandCompositorAnswers()) {
        fprintf(stderr, "No Wayland compositor answers; the x11 driver is used instead\n");
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }
    setenv("SDL_VIDEODRIVER", "x11", 0);
}

// SDL's X11 driver resizes its window in place. It must be asked to: the window manager resizes
// only the outer frame window, not the inner one that GL draws into.
bool resizeKeepsGlContext() {
    return true;
}

// Classic SDL 1.2 opens full screen at the first monitor's corner; sdl12-compat (SDL2 underneath)
// centres the window on the whole X screen, across the monitors, unless told where it goes. It
// also draws GL into a framebuffer of its own that it scales into a desk-wide window, leaving
// the monitor-sized picture in the middle of the desk; the mode already is the monitor's size,
// so that copy is turned off. Values the user set stay.
void placeFullScreenWindow(const ScreenRect& scene) {
    char place[32];
    snprintf(place, sizeof place, "%d,%d", (int)scene.x, (int)scene.y);
    setenv("SDL_VIDEO_WINDOW_POS", place, 0);
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
}

// X has no display scaling of its own: the window is the size SDL asked for.
bool windowAndScreenSize(int32_t*, int32_t*) {
    return false;
}
