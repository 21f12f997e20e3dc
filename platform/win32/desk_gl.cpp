#include "platform/desk_gl.h"

// Windows' own full-screen mode covers the desk; there is no other surface to draw on.
bool openDeskGl(const std::string&, HostGlStart*, std::string* problem) {
    problem->clear();
    return false;
}
bool deskGlFrameWanted() {
    return true;
}
void waitForDeskGl(uint32_t) {}
void swapDeskGl() {}
DeskGlNews pollDeskGl() {
    return DeskGlNews();
}
void closeDeskGl() {}
void watchDeskServer() {}
void endIfDeskServerGone() {}
