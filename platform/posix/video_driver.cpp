#include "platform/video_driver.h"

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
