#pragma once
// The two picture-loading calls of SDL_image that Lumivane uses, for the Windows build:
// PNG through libpng into a 32-bit RGBA surface, BMP through SDL's own loader.
#include <SDL/SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

// Decodes the stream's picture; closes the stream when freeSource is non-zero. Null on failure,
// with the reason in SDL_GetError().
SDL_Surface* IMG_Load_RW(SDL_RWops* source, int freeSource);
SDL_Surface* IMG_Load(const char* file);

#ifdef __cplusplus
}
#endif

#define IMG_GetError SDL_GetError
