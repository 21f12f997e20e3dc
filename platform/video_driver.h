#pragma once

#include "platform/monitor_layout.h"

// Picks SDL's video driver before SDL starts, unless the user chose one (SDL_VIDEODRIVER).
void chooseVideoDriver();
// True when SDL_SetVideoMode on an open OpenGL window resizes it and keeps the GL context (and
// with it every texture); false where it would make a new context.
bool resizeKeepsGlContext();
// Puts the full-screen window, and its picture, on the monitor `scene` (desktop coordinates),
// where SDL itself might centre them on the whole desk. Call before SDL_SetVideoMode.
void placeFullScreenWindow(const ScreenRect& scene);
// The SDL window's client area and the primary screen, in the pixels the program itself sees
// (each as width, height): on a scaled display the screen's real size only when the program is
// DPI-aware; an unaware one is told of a smaller screen and stretched over it. False where the
// system cannot tell.
bool windowAndScreenSize(int32_t client[2], int32_t screen[2]);
