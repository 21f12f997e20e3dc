#include "platform/video_driver.h"

#include <cstdlib>

static char windibDriver[] = "SDL_VIDEODRIVER=windib";

// The GDI driver gives an OpenGL mode everywhere, DirectX or not.
void chooseVideoDriver() {
    const char* chosen = getenv("SDL_VIDEODRIVER");
    if (!chosen || !*chosen) putenv(windibDriver);
}

// windib makes a new GL context on every SDL_SetVideoMode; the window itself already has the new
// size and its GL surface follows it.
bool resizeKeepsGlContext() {
    return false;
}

// windib's full screen covers the primary monitor by itself.
void placeFullScreenWindow(const ScreenRect&) {}
