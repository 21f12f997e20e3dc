#pragma once
// Small solid-colour test pictures: BMP files made with SDL, RGBA PNGs from the asset writer.
#include <SDL/SDL.h>

#include <cstdint>
#include <vector>

#include "pak/png_writer.h"

// A 24-bit BMP (rows padded to 4 bytes on disk and in the decoded surface) or, with paletted, an
// 8-bit one, every pixel of colour (r, g, b).
inline std::vector<uint8_t> solidBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b, bool paletted = false) {
    SDL_Surface* s = paletted ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0)
                              : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    if (paletted) {
        SDL_Color colors[2] = {{0, 0, 0, 0}, {r, g, b, 0}};
        SDL_SetColors(s, colors, 0, 2);
        SDL_FillRect(s, nullptr, 1);
    } else {
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    }
    std::vector<uint8_t> buffer(2048 + (size_t)w * h * 4);
    SDL_RWops* rw = SDL_RWFromMem(buffer.data(), (int)buffer.size());
    SDL_SaveBMP_RW(s, rw, 0);
    buffer.resize((size_t)SDL_RWtell(rw));
    SDL_RWclose(rw);
    SDL_FreeSurface(s);
    return buffer;
}

// A w x h RGBA PNG, every pixel (r, g, b, a).
inline std::vector<uint8_t> solidPng(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < w * h; i++) {
        const uint8_t px[4] = {r, g, b, a};
        pixels.insert(pixels.end(), px, px + 4);
    }
    std::vector<uint8_t> png;
    encodePng(pixels.data(), w, h, &png);
    return png;
}
