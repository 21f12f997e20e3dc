#include "platform/host_gl.h"

// Windows hands a screensaver no window to draw into (chooseHostWindow never picks one there).
bool openHostGl(unsigned long, HostGlStart*, std::string* problem) {
    *problem = "no host windows on this system";
    return false;
}

void swapHostGl() {}

HostGlNews pollHostGl() {
    return HostGlNews();
}

void closeHostGl() {}
