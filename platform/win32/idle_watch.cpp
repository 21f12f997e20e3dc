#include "platform/idle_watch.h"

#include <cstdio>

// Windows starts screensavers itself when the desk is idle.
int runIdleWatcher(uint32_t, const std::vector<std::string>&) {
    fprintf(stderr, "lumivane: --idle is for Wayland desktops; Windows starts the screensaver itself\n");
    return 1;
}
