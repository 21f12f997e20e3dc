#include <SDL/SDL.h>

#include <algorithm>

#include "platform/preview.h"

unsigned long previewParent = 0;
int32_t previewWidth = 0;
int32_t previewHeight = 0;
unsigned long previewWindow = 0;

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

// A length in 96-dpi pixels, to the nearest.
static int32_t unscaled(int32_t length, uint32_t dpi) {
    return (int32_t)(((int64_t)length * 96 + dpi / 2) / dpi);
}

void composeScaledPreview(const SDL_Surface* picture, int32_t width, int32_t height, uint32_t dpi,
                          std::vector<uint32_t>* pixels) {
    const int32_t boxWidth = dpi > 0 ? unscaled(width, dpi) : width,
                  boxHeight = dpi > 0 ? unscaled(height, dpi) : 0;
    if (dpi == 0 || dpi == 96 || boxWidth != previewPictureWidth || boxHeight <= 0 || height <= 0) {
        composePreview(picture, width, height, pixels);
        return;
    }
    std::vector<uint32_t> box;
    composePreview(picture, boxWidth, boxHeight, &box);
    pixels->assign((size_t)width * (size_t)height, 0);
    for (int32_t y = 0; y < height; y++) {
        const int32_t from = (int32_t)(((int64_t)y * 2 + 1) * boxHeight / (2 * (int64_t)height));
        for (int32_t x = 0; x < width; x++) {
            const int32_t column = (int32_t)(((int64_t)x * 2 + 1) * boxWidth / (2 * (int64_t)width));
            (*pixels)[(size_t)y * (size_t)width + (size_t)x] =
                box[(size_t)from * (size_t)boxWidth + (size_t)column];
        }
    }
}

static uint32_t readLe(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; i--) value = value << 8 | bytes[i];
    return value;
}

bool previewHeaderUsable(const uint8_t* header, size_t headerSize, uint64_t fileSize) {
    const size_t fileHeader = 14;
    if (headerSize < fileHeader + 40 || header[0] != 'B' || header[1] != 'M') return false;
    uint32_t pixelOffset = readLe(header + 10, 4);
    uint32_t infoSize = readLe(header + 14, 4);
    int32_t width = (int32_t)readLe(header + 18, 4);
    int32_t height = (int32_t)readLe(header + 22, 4);
    uint32_t bits = readLe(header + 28, 2);
    uint32_t compression = readLe(header + 30, 4);
    // Older 12-byte headers, other depths and compressed rows all paint black anyway.
    if (infoSize < 40 || infoSize > 4096 || bits != 24 || compression != 0) return false;
    if (pixelOffset < fileHeader + infoSize) return false;
    // A negative height is a top-down picture.
    int64_t rows = height < 0 ? -(int64_t)height : height;
    if (width <= 0 || width > 4096 || rows == 0 || rows > 4096) return false;
    uint64_t rowSize = ((uint64_t)width * 3 + 3) & ~(uint64_t)3;
    return (uint64_t)pixelOffset + rowSize * (uint64_t)rows <= fileSize;
}

SDL_Surface* loadPreviewBmp(SDL_RWops* file) {
    if (!file) return nullptr;
    uint8_t header[54];
    int64_t size = SDL_RWseek(file, 0, RW_SEEK_END);
    bool usable = size > 0 && SDL_RWseek(file, 0, RW_SEEK_SET) == 0 &&
                  SDL_RWread(file, header, 1, sizeof header) == (int)sizeof header &&
                  previewHeaderUsable(header, sizeof header, (uint64_t)size) &&
                  SDL_RWseek(file, 0, RW_SEEK_SET) == 0;
    if (!usable) {
        SDL_RWclose(file);
        return nullptr;
    }
    return SDL_LoadBMP_RW(file, 1);
}
