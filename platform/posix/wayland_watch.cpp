#include <poll.h>
#include <strings.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdlib>

#include "platform/desk_gl.h"

// Our own connection asks for nothing, so the compositor never writes to it: anything that makes
// it readable is the compositor's end closing.
static wl_display* watched = nullptr;

void watchDeskServer() {
    const char* driver = getenv("SDL_VIDEODRIVER");
    if (watched || !driver || strcasecmp(driver, "wayland") != 0) return;
    watched = wl_display_connect(nullptr);
}

void endIfDeskServerGone() {
    if (!watched) return;
    pollfd connection = {wl_display_get_fd(watched), POLLIN, 0};
    if (poll(&connection, 1, 0) <= 0) return;
    if (connection.revents & (POLLHUP | POLLERR)) _exit(0);
    if (wl_display_dispatch(watched) < 0) _exit(0);
}
