#pragma once

// Picks SDL's video driver before SDL starts, unless the user chose one (SDL_VIDEODRIVER).
void chooseVideoDriver();
