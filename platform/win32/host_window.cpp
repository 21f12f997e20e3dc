#include "platform/host_window.h"

// Windows hands a screensaver no window to draw into: the run always takes its own full screen.
void chooseHostWindow(const std::string&) {}

bool hostWindowSize(int32_t*, int32_t*) {
    return false;
}

unsigned long hostWindowHandle() {
    return 0;
}
