#pragma once
#include <cstdint>
#include <string>

#include "platform/host_gl.h"

// The full-screen run on surfaces of the window system's own, above everything else on every
// output (a Wayland compositor's overlay layer): the scene on one output, the others black, the
// pointer hidden over all of them. Outputs plugged in during the run are covered, and the scene
// moves when its output goes. A window system that goes away ends the process with status 0.

// What happened since the last look.
struct DeskGlNews {
    bool resized = false;  // the scene's surface has a new size (or the scene moved to another output)
    int32_t width = 0;
    int32_t height = 0;
    bool inputEnds = false;     // a key, a button or a touch
    bool pointerMoved = false;  // motion or scrolling, which ends the run only as the settings say
};

// Opens it where it is offered and the user chose no SDL video driver, with the scene on the
// output named `outputName` (the first one when empty or not there) and a GL context current on
// it. False where it is not offered; *problem then holds one line for the user, or is empty when
// there is nothing to say (no such window system here).
bool openDeskGl(const std::string& outputName, HostGlStart* start, std::string* problem);
// True once the window system wants the scene's next picture.
bool deskGlFrameWanted();
// Waits up to `ms` for the window system's word (a picture wanted, input), handling what came.
void waitForDeskGl(uint32_t ms);
void swapDeskGl();
DeskGlNews pollDeskGl();
void closeDeskGl();

// A run that SDL draws through a Wayland compositor (the user's SDL_VIDEODRIVER) keeps a
// connection of its own to it, to learn when the compositor has gone: SDL would crash on the lost
// connection in its next buffer swap, so the run ends with status 0 before that.
void watchDeskServer();
void endIfDeskServerGone();
