#include <SDL/SDL.h>

#include <algorithm>

#include "platform/preview.h"

void composePreview(const SDL_Surface* picture, int32_t width, int32_t height,
                    std::vector<uint32_t>* pixels) {
    if (width <= 0 || height <= 0) {
        pixels->clear();
        return;
    }
    pixels->assign((size_t)width * (size_t)height, 0);
    if (width != previewPictureWidth || !picture || !picture->format || !picture->pixels) return;
    if (picture->format->BytesPerPixel != 3) return;
    int32_t columns = std::min(width, (int32_t)picture->w);
    int32_t rows = std::min(height, (int32_t)picture->h);
    const uint8_t* base = (const uint8_t*)picture->pixels;
    for (int32_t y = 0; y < rows; y++) {
        // Rows are padded to whole words in memory: step by the surface's pitch, not width * 3.
        const uint8_t* row = base + (size_t)y * picture->pitch;
        uint32_t* out = pixels->data() + (size_t)y * (size_t)width;
        for (int32_t x = 0; x < columns; x++) {
            const uint8_t* bgr = row + (size_t)x * 3;
            out[x] = (uint32_t)bgr[2] << 16 | (uint32_t)bgr[1] << 8 | bgr[0];
        }
    }
}
