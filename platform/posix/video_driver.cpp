#include "platform/video_driver.h"

#include <cstdlib>

// Only the X11 driver gives an OpenGL mode; without it SDL would fall back to text-mode drivers
// that take over the terminal and then fail anyway.
void chooseVideoDriver() {
    setenv("SDL_VIDEODRIVER", "x11", 0);
}
