#pragma once

// Picks SDL's video driver before SDL starts, unless the user chose one (SDL_VIDEODRIVER).
void chooseVideoDriver();
// True when SDL_SetVideoMode on an open OpenGL window resizes it and keeps the GL context (and
// with it every texture); false where it would make a new context.
bool resizeKeepsGlContext();
