#include "platform/video_driver.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>
#include <windows.h>

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

bool windowAndScreenSize(int32_t client[2], int32_t screen[2]) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    RECT area;
    if (SDL_GetWMInfo(&info) <= 0 || !GetClientRect(info.window, &area)) return false;
    client[0] = area.right - area.left;
    client[1] = area.bottom - area.top;
    screen[0] = GetSystemMetrics(SM_CXSCREEN);
    screen[1] = GetSystemMetrics(SM_CYSCREEN);
    return true;
}
