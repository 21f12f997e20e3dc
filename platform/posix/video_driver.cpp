#include "platform/video_driver.h"

#include <cstdio>
#include <cstdlib>

// Only the X11 driver gives an OpenGL mode; without it SDL would fall back to text-mode drivers
// that take over the terminal and then fail anyway.
void chooseVideoDriver() {
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
